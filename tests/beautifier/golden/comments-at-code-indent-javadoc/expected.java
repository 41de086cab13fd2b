/**
 * A list.
 */
public class List {
    /**
     * The size.
     *
     * @return how many
     */
    public int size() {
        return n;
    }

    /** One line. */
    private int n;
}
