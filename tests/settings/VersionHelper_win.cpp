// A program that only carries a version resource for the version reader's tests.
int main() {
  return 0;
}
