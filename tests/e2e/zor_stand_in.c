/* A stand-in ZOR4.EXE: writes its command line and its arguments, one a line, to ARGS.TXT
   beside itself. */
#include <stdio.h>
#include <string.h>
#include <windows.h>

int main(int argc, char** argv) {
  char name[MAX_PATH + 9];
  GetModuleFileNameA(NULL, name, MAX_PATH);
  strcpy(strrchr(name, '\\') + 1, "ARGS.TXT");
  FILE* out = fopen(name, "wb");
  fprintf(out, "%s\n", GetCommandLineA());
  for (int i = 0; i < argc; ++i) fprintf(out, "%s\n", argv[i]);
  return fclose(out);
}
