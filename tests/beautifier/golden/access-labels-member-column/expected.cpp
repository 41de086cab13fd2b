class A {
    int before;
    public:
    A();
    void f();
    protected:
    int x;
    private:
    int y;
};
