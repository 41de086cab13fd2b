public class A {
    // note
    static int n = 0; /* c */
}
