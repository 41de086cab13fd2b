int f(int x) {
    switch (x) {
        case 1:
            x = 2;
            break;
        default:
            x = 3;
    }
    return x;
}
