#pragma once
// The main settings menu: returns after Enter; Esc ends the run.
void runMenu();
