namespace a {
    template <typename T,
        typename U>
    struct S {
        T t;
    };
    template <typename T> int f(T a,
        T b);
    template <class T>
    void g() {
    }
    template <typename T>
    using V = T*;
}
