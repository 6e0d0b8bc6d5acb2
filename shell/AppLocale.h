#pragma once

// The process locale as the program needs it once the application object
// has started (Qt sets every category from the environment): character
// types and collation follow the user, so names sort in Lithuanian order;
// numbers, money and time stay "C", so atof, printf and the stored texts
// keep the decimal point.
void SetProgramLocale();
