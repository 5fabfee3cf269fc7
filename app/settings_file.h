#pragma once

#include "app/model.h"

namespace tamarind {

inline constexpr const char* kSettingsFileName = "Tamarindinf.txt";

// The settings file keeps, between runs, the thirty port settings texts (lines 1 … 30, edited by
// hand), the send interval (line 31) and the repeat count (line 32). Both directions go through
// the job buffer COMall_D and the line-list rules, so a file of 32 lines ending in CR LF survives
// a load and an unchanged save byte for byte.

// Reads the file into the slots' settings texts, EdTm and EdCnt. A missing or unreadable file
// changes nothing; lines the file lacks read as empty texts. Raises FileError while another
// process holds the file open for writing.
void LoadSettings(Model& model);

// Writes EdTm and EdCnt after the file's own first thirty lines (the settings shown are never
// written back); later lines are dropped. Missing port lines are filled with "38400,E,8", so the
// two fields always land on lines 31 and 32. The job buffer holds the same job afterwards, so a
// cancelled close leaves a running job intact. Raises FileError when the file exists but cannot
// be read, or cannot be written; the file is then left as it was.
void SaveSettings(Model& model);

}  // namespace tamarind
