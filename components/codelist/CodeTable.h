#pragma once

#include <QList>
#include <QString>
#include <QVariant>

#include <optional>

namespace desk {

// What a column of a code table holds. Values travel as QVariant: a text as QString, the
// numbers as qint16 / qint32, a flag as bool.
enum class CodeField { Text, Int16, Int32, Flag };

struct CodeTableColumn {
    QString name;
    CodeField kind = CodeField::Text;
};

// A table of the reference data keyed by a code: payment items and classes, commodity
// classes, and any list of the same make (a code, a name, and columns of the kinds above).
// The first column is the code.
struct CodeTableDef {
    const char* file = nullptr; // one of desk::DbFile
    QString table;
    QString subject; // the list in messages: "入金項目"
    QList<CodeTableColumn> columns;
};

// One row as a value: its values in the order of the table's columns, the code first.
using CodeRecord = QList<QVariant>;

// The use cases of a code table, each on a connection of its own that is closed again
// before it returns, each write in one transaction with its checks. Codes compare as the
// key column does (ASCII letters case-blind); a code is found as typed, quotes included.
// Failures are thrown (desk::DbError).
class CodeTable {
public:
    enum class Write { Written, Taken };

    CodeTable(CodeTableDef def, QString dirPath);

    const CodeTableDef& def() const { return m_def; }

    // The row of code, or nothing.
    std::optional<CodeRecord> find(const QString& code) const;
    // Every row, in the order the rows were added.
    QList<CodeRecord> rows() const;
    // Adds the row unless another row has its code.
    Write add(const CodeRecord& record) const;
    // Rewrites the row of calledCode, whose code may change: a new code is refused when
    // another row has it; the same code in other letter case is the row's own. A row that is
    // gone (deleted at another desk) fails.
    Write correct(const QString& calledCode, const CodeRecord& record) const;
    // Deletes the row of code; a row that is gone fails.
    void remove(const QString& code) const;

private:
    CodeTableDef m_def;
    QString m_dirPath;
};

} // namespace desk
