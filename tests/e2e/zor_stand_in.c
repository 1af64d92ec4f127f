/* A stand-in ZOR4.EXE: writes its command line and its arguments, one a line, to ARGS.TXT
   beside itself, in UTF-8 from their wide form, so that every letter shows as it came. */
#include <stdio.h>
#include <string.h>
#include <windows.h>

static void put(FILE* out, const wchar_t* text) {
  char bytes[32768];
  int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes, sizeof bytes, NULL, NULL);
  fprintf(out, "%s\n", n > 0 ? bytes : "");
}

int main(void) {
  char name[MAX_PATH + 9];
  GetModuleFileNameA(NULL, name, MAX_PATH);
  strcpy(strrchr(name, '\\') + 1, "ARGS.TXT");
  FILE* out = fopen(name, "wb");
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  put(out, GetCommandLineW());
  for (int i = 0; i < argc; ++i) put(out, argv[i]);
  return fclose(out);
}
