#include <QApplication>

#include "window_tests.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  int failed = 0;
  failed += zk::test::RunForm1Tests(argc, argv);
  failed += zk::test::RunWindowSupportTests(argc, argv);
  failed += zk::test::RunFindingsTests(argc, argv);
  return failed == 0 ? 0 : 1;
}
