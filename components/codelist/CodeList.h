#pragma once

#include "convert/Convert.h"
#include "data/RowSet.h"

#include <QList>
#include <QString>

#include <memory>
#include <type_traits>
#include <variant>

namespace desk {

class Connection;

// The one implementation behind the small code/name stores (commodity classes, payment
// classes, payment items) and the use cases of desk::CodeTable: one connection, one updatable row set over the whole
// table, look-ups by code that search forward from the current row, and the row written from and read into the store's
// properties through one table of {column, property}.
//
// A store keeps its property names and answers of its own and forwards the work:
//
//     const QList<desk::CodeColumn<SKubun>> columns{{u"CClassCode"_s, &SKubun::m_code},
//                                                   {u"CClassName"_s, &SKubun::m_name}};
//     void SKubun::Mcsave() { m_list.add(*this, columns); }
//
// The first column of the table is the key column.
template <typename Store> struct CodeColumn {
    QString column;
    // Texts are written as an empty text, never null, when the property is unset; a
    // 16-bit property is range-checked when read back.
    std::variant<QString Store::*, qint16 Store::*> property;
};

class CodeList {
public:
    // fileName: one of desk::DbFile; subject names the list in messages ("商品区分").
    CodeList(const char* fileName, QString table, QString keyColumn, QString subject);
    ~CodeList();

    CodeList(const CodeList&) = delete;
    CodeList& operator=(const CodeList&) = delete;

    // Opens the connection and the row set (CntDb); any earlier ones are closed.
    void open(const QString& dirPath);
    // Valid after open(); throws otherwise.
    Connection& connection() const;
    // The row set as it stands; null before open().
    RowSet* rows() const { return m_rows.get(); }

    // Finds the code forward from the current row, the current row included.
    bool find(const QString& code);
    // The value of a column of the row found.
    QVariant value(const QString& column) const;

    template <typename Store> void add(const Store& store, const QList<CodeColumn<Store>>& columns) {
        requireOpen();
        m_rows->addNew();
        write(store, columns);
    }
    // Rewrites the row of code (the key column may change with it).
    template <typename Store>
    void edit(const QString& code, const QString& action, const Store& store, const QList<CodeColumn<Store>>& columns) {
        locate(code, action);
        write(store, columns);
    }
    void remove(const QString& code, const QString& action);
    // Finds the row of code from the current row; a row that is not there fails, the
    // message naming the action ("訂正する入金項目 (コード 12) が見つかりません。").
    void locate(const QString& code, const QString& action);
    // Loads the row of code into the properties; false, and nothing changed, when no row
    // has the code.
    template <typename Store> bool load(const QString& code, Store& store, const QList<CodeColumn<Store>>& columns) {
        requireOpen();
        if (!find(code))
            return false;
        // Every value is read (and checked) before any property changes.
        QList<QVariant> values;
        for (const auto& c : columns)
            values << m_rows->value(c.column);
        for (qsizetype i = 0; i < columns.size(); ++i) {
            std::visit(
                [&](auto member) {
                    using Member = std::remove_reference_t<decltype(store.*member)>;
                    if constexpr (std::is_same_v<Member, qint16>)
                        store.*member = convert::toInt16(values[i].toDouble());
                    else
                        store.*member = values[i].toString();
                },
                columns[i].property);
        }
        return true;
    }

    void requireOpen() const;

private:
    template <typename Store> void write(const Store& store, const QList<CodeColumn<Store>>& columns) {
        for (const auto& c : columns) {
            std::visit(
                [&](auto member) {
                    const auto& value = store.*member;
                    if constexpr (std::is_same_v<std::decay_t<decltype(value)>, QString>)
                        m_rows->setValue(c.column, value.isNull() ? QVariant(QStringLiteral("")) : QVariant(value));
                    else
                        m_rows->setValue(c.column, value);
                },
                c.property);
        }
        m_rows->update();
    }
    void requireFound(const QString& code, const QString& action) const;

    const char* m_fileName;
    QString m_table;
    QString m_keyColumn;
    QString m_subject;
    std::shared_ptr<Connection> m_connection;
    std::unique_ptr<RowSet> m_rows;
    QString m_criterion;
};

} // namespace desk
