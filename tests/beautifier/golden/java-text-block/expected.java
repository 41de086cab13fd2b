class A {
    String s = """
    a {
      b \
    """;
    void f() {
        x();
    }
}
