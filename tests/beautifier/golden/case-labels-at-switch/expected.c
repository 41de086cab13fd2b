int f(int x) {
    switch (x) {
    case 1:
        x = 2;
        switch (x) {
        case 2: x = 4;
        default:
            break;
        }
        break;
    default:
        x = 3;
    }
    return x;
}
