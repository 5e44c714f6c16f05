// Carries a version resource for the version-information tests; does nothing.
int main() { return 0; }
