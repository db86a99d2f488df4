#pragma once
// One function a command of movra-cli. Each takes the arguments after the command word
// (argv[0] is the command word itself) and returns the process exit status.

namespace movra::cli {

int RunSfen(int argc, char** argv);
int RunMate(int argc, char** argv);
int RunNotation(int argc, char** argv);

int RunInfo(int argc, char** argv);
int RunList(int argc, char** argv);
int RunCommentsCheck(int argc, char** argv);
int RunNew(int argc, char** argv);
int RunShow(int argc, char** argv);
int RunDelete(int argc, char** argv);
int RunSwap(int argc, char** argv);
int RunImport(int argc, char** argv);
int RunSearch(int argc, char** argv);
int RunExport(int argc, char** argv);
int RunPositionText(int argc, char** argv);
int RunCopy(int argc, char** argv);
int RunEdit(int argc, char** argv);
int RunConvert(int argc, char** argv);
int RunDuplicates(int argc, char** argv);
int RunAnomalies(int argc, char** argv);
int RunMerge(int argc, char** argv);
int RunSort(int argc, char** argv);
int RunDedupe(int argc, char** argv);
int RunBackup(int argc, char** argv);
int RunConvertStore(int argc, char** argv);
int RunPlayerNumbers(int argc, char** argv);
int RunReplacePlayer(int argc, char** argv);
int RunPositions(int argc, char** argv);
int RunPublish(int argc, char** argv);
int RunUpload(int argc, char** argv);
int RunTree(int argc, char** argv);
#ifdef MOVRA_CLI_DIAGRAM
int RunDiagram(int argc, char** argv);  // built with Qt
int RunPrint(int argc, char** argv);    // built with Qt
#endif

}  // namespace movra::cli
