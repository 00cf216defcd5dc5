#include "membercolumns.h"

#include "vocabulary.h"

QString member_column_title(qsizetype column) {
    return QString::fromUtf16(kMemberColumns[size_t(column)].title);
}

QStringList member_column_titles() {
    QStringList titles;
    titles.reserve(kMemberColumnCount);
    for (qsizetype column = 0; column < kMemberColumnCount; ++column)
        titles << member_column_title(column);
    return titles;
}

QString member_column_text(const MemberRecord& member, qsizetype column) {
    switch (column) {
    case kMemberColName:
        return member.name;
    case kMemberColKana:
        return member.kana;
    case kMemberColYear:
        return QString::number(member.year);
    case kMemberColDepartment:
        return member.department;
    case kMemberColHighschool:
        return member.highschool;
    case kMemberColRole:
        return role_text(member);
    default:
        return {};
    }
}

QStringList member_column_texts(const MemberRecord& member) {
    QStringList texts;
    texts.reserve(kMemberColumnCount);
    for (qsizetype column = 0; column < kMemberColumnCount; ++column)
        texts << member_column_text(member, column);
    return texts;
}
