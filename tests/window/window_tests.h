// The window's test classes, run one after another by one program.
#pragma once

namespace zk::test {

int RunForm1Tests(int argc, char** argv);
int RunWindowSupportTests(int argc, char** argv);
int RunFindingsTests(int argc, char** argv);

}  // namespace zk::test
