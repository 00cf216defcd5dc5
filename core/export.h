#pragma once

#include "records.h"

// Copies the university and competition names of universityInfo into every couple of the entry.
void stamp_couples(AppState& state);

// The proposed export file name: university + "_" + competition, no extension.
QString export_file_name(const UniversityInfo& info);
