// The program around a library linked whole, to prove that it links from below.
int main() {
    return 0;
}
