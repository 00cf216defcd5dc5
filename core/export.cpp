#include "export.h"

#include <algorithm>

void stamp_couples(AppState& state) {
    const qsizetype valid = std::min<qsizetype>(std::max(state.coupleCount, 0), state.couples.size());
    for (qsizetype i = 0; i < valid; ++i) {
        state.couples[i].gameName = state.universityInfo.gameName;
        state.couples[i].university = state.universityInfo.university;
    }
}

QString export_file_name(const UniversityInfo& info) {
    return info.university + QStringLiteral("_") + info.gameName;
}
