#include "app/MainForm.h"

int main() { return dcs::RunProgram(); }
