/* A stand-in for ZOR4.EXE in the tests that run a launcher through the command
   interpreter: it writes the command line it was given and the arguments its C runtime made
   of it, one a line, to ARGS.TXT beside itself. */
#include <stdio.h>
#include <string.h>
#include <windows.h>

int main(int argc, char** argv) {
  char name[MAX_PATH];
  DWORD length = GetModuleFileNameA(NULL, name, MAX_PATH);
  char* slash = strrchr(name, '\\');
  if (length == 0 || slash == NULL) return 1;
  strcpy(slash + 1, "ARGS.TXT");
  FILE* out = fopen(name, "wb");
  if (out == NULL) return 1;
  fprintf(out, "%s\n", GetCommandLineA());
  for (int i = 0; i < argc; ++i) fprintf(out, "%s\n", argv[i]);
  return fclose(out) == 0 ? 0 : 1;
}
