class A {
    @Override
    public String toString() {
        return "A";
    }
    @SuppressWarnings("rawtypes")
    static List raw = null;
    @Table(name = "t",
        schema = "s")
    int x;
    @Deprecated int y =
        2;
}
