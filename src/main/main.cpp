#include "main/flow.h"

int main() { runProgram(); }
