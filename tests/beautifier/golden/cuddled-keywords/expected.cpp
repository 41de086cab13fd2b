void f(int a) {
    if (a) {
        g();
    } else if (a > 1) {
        h();
    } else {
        k();
    }
    do {
        a--;
    } while (a > 0);
    while (a < 9) {
        a++;
    }
    while (a) a--;
    try {
        g();
    }

    catch (int e) {
        h();
    }
    if (a) {
        g();
    }
// kept apart
    else {
        h();
    }
    try {
        g();
    }
    catch (int e) {}
}
