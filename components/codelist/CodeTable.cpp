#include "codelist/CodeTable.h"

#include "codelist/CodeList.h"
#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/RowSet.h"

namespace desk {

namespace {

QVariant readValue(const QVariant& stored, CodeField kind) {
    switch (kind) {
    case CodeField::Int16:
        return convert::toInt16(stored.toDouble());
    case CodeField::Int32:
        return convert::toInt32(stored.toDouble());
    case CodeField::Flag:
        return stored.toInt() != 0;
    case CodeField::Text:
        break;
    }
    return convert::textOf(stored);
}

QVariant writtenValue(const QVariant& value, CodeField kind) {
    switch (kind) {
    case CodeField::Int16:
        return convert::toInt16(value.toDouble());
    case CodeField::Int32:
        return convert::toInt32(value.toDouble());
    case CodeField::Flag:
        // Yes/no columns hold 0 and 1 on either engine.
        return value.toBool() ? 1 : 0;
    case CodeField::Text:
        break;
    }
    // Texts are written as an empty text, never null.
    const QString text = value.toString();
    return text.isNull() ? QVariant(QStringLiteral("")) : QVariant(text);
}

// The table's code list, open on its file for one use case.
struct OpenList {
    OpenList(const CodeTableDef& def, const QString& dirPath)
        : list(def.file, def.table, def.columns.constFirst().name, def.subject) {
        list.open(dirPath);
    }
    CodeList list;
};

} // namespace

CodeTable::CodeTable(CodeTableDef def, QString dirPath)
    : m_def(std::move(def))
    , m_dirPath(std::move(dirPath)) {
    Q_ASSERT(m_def.file && !m_def.columns.isEmpty());
}

namespace {

CodeRecord currentRecord(const CodeList& list, const CodeTableDef& def) {
    CodeRecord record;
    record.reserve(def.columns.size());
    for (const CodeTableColumn& column : def.columns)
        record << readValue(list.value(column.name), column.kind);
    return record;
}

void writeRecord(CodeList& list, const CodeTableDef& def, const CodeRecord& record) {
    Q_ASSERT(record.size() == def.columns.size());
    // Every value is converted before the first is set, so a value out of range writes nothing.
    QList<QVariant> values;
    for (qsizetype i = 0; i < def.columns.size(); ++i)
        values << writtenValue(record.value(i), def.columns[i].kind);
    for (qsizetype i = 0; i < def.columns.size(); ++i)
        list.rows()->setValue(def.columns[i].name, values[i]);
    list.rows()->update();
}

} // namespace

std::optional<CodeRecord> CodeTable::find(const QString& code) const {
    OpenList open(m_def, m_dirPath);
    CodeList& list = open.list;
    if (!list.find(code))
        return std::nullopt;
    return currentRecord(list, m_def);
}

QList<CodeRecord> CodeTable::rows() const {
    OpenList open(m_def, m_dirPath);
    CodeList& list = open.list;
    QList<CodeRecord> out;
    RowSet* rows = list.rows();
    if (rows->isEmpty())
        return out;
    for (rows->moveFirst(); !rows->eof(); rows->moveNext())
        out << currentRecord(list, m_def);
    return out;
}

CodeTable::Write CodeTable::add(const CodeRecord& record) const {
    OpenList open(m_def, m_dirPath);
    CodeList& list = open.list;
    Transaction transaction(list.connection());
    if (list.find(record.value(0).toString()))
        return Write::Taken;
    list.rows()->addNew();
    writeRecord(list, m_def, record);
    transaction.commit();
    return Write::Written;
}

CodeTable::Write CodeTable::correct(const QString& calledCode, const CodeRecord& record) const {
    OpenList open(m_def, m_dirPath);
    CodeList& list = open.list;
    const QString code = record.value(0).toString();
    Transaction transaction(list.connection());
    if (!convert::sameCode(code, calledCode)) {
        if (list.find(code))
            return Write::Taken;
        list.rows()->moveFirst();
    }
    list.locate(calledCode, QStringLiteral("訂正"));
    writeRecord(list, m_def, record);
    transaction.commit();
    return Write::Written;
}

void CodeTable::remove(const QString& code) const {
    OpenList open(m_def, m_dirPath);
    CodeList& list = open.list;
    list.remove(code, QStringLiteral("削除"));
}

} // namespace desk
