#include "app/form1.h"

#include "interchange/KzmGaibu.h"

void TForm1::FormShow(TObject*) {}
void TForm1::FormClick(TObject*) { FreeInterchangeTables(); }
void TForm1::Button1Click(TObject*) {}
void TForm1::Button2Click(TObject*) { window_.Close(); }
void TForm1::JoinRange() {}
void TForm1::JoinPair() {}
void TForm1::LoadSettings() {}
void TForm1::SaveSettings() {}
std::string TForm1::InterchangePath() const { return ExeFolder + std::string(kInterchangeFileName); }
std::string TForm1::SettingsPath() const { return {}; }
