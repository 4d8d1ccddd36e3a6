// PLACEHOLDER until the window layer lands.
int main() { return 0; }
