// Placeholder until the command-line and desk land.
int main() { return 0; }
