#pragma once

#include <QObject>
#include <QString>

namespace desk::test {

// Replaces the text of a line edit found by name as an input method commits kana and
// kanji: focus, select all, then the whole text at once (QTest types Latin-1 keys only).
// textEdited follows, as after typing. False when there is no such line edit.
bool commitText(const QObject* root, const QString& name, const QString& text);

} // namespace desk::test
