#pragma once

#include "data/Connection.h"
#include "data/RowSet.h"
#include "data/Schema.h"
#include "report/Report.h"
#include "testsupport/ScriptedDialogs.h"

#include <QFile>
#include <QList>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <memory>

namespace fixture {

// A scratch database with one table of sales-like lines: Code, Name, Amount (integer),
// Price (double), Day (date); Amount of row i is amounts[i].
class LineTable {
public:
    explicit LineTable(const QList<QVariant>& amounts = {}) {
        m_connection = desk::Connection::create(m_dir.filePath(QStringLiteral("lines.mdb")));
        // Reports open their file as programs do, which refuses a file without a version record.
        m_connection->exec(
            QStringLiteral("CREATE TABLE SchemaMeta (Name TEXT UNIQUE, Value TEXT, RowKey INTEGER PRIMARY KEY)"));
        m_connection->exec(QStringLiteral("INSERT INTO SchemaMeta (Name, Value) VALUES ('SchemaVersion', ?)"),
                           {desk::Schema::Version});
        m_connection->exec(
            QStringLiteral("CREATE TABLE Lines (Code TEXT, Name TEXT, Amount INTEGER, Price DOUBLE, Day DATE, "
                           "RowKey INTEGER PRIMARY KEY)"));
        desk::Transaction tx(m_connection);
        for (qsizetype i = 0; i < amounts.size(); ++i) {
            m_connection->exec(
                QStringLiteral("INSERT INTO Lines (Code, Name, Amount, Price, Day) VALUES (?, ?, ?, ?, ?)"),
                {QStringLiteral("C%1").arg(i, 3, 10, QLatin1Char('0')), QStringLiteral("品目%1").arg(i), amounts[i],
                 100.0 * double(i), QStringLiteral("2024-04-01")});
        }
        tx.commit();
    }
    // n rows with amounts 1..n.
    static QList<QVariant> count(int n) {
        QList<QVariant> list;
        for (int i = 1; i <= n; ++i)
            list << i;
        return list;
    }

    std::shared_ptr<desk::Connection> connection() const { return m_connection; }
    std::unique_ptr<desk::RowSet> rows(const QString& source = QStringLiteral("Lines")) const {
        return std::make_unique<desk::RowSet>(m_connection, source);
    }
    QString dir() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    std::shared_ptr<desk::Connection> m_connection;
};

// A report over Lines laid out like the slips: profile in the page header, amounts in the
// detail, page number in the page footer, sums in the report footer. Records its jobs.
class LinesReport : public desk::Report {
public:
    struct Job {
        desk::JobKind kind;
        bool started;
        bool completed;
    };

    explicit LinesReport(double detailHeight = 10.0) {
        setTitle(QStringLiteral("明細一覧"));
        reportHeader().setHeight(15.0);
        reportHeader().addLabel(QStringLiteral("Label40"), {0, 0, 100, 10}, QStringLiteral("明細一覧"));
        pageHeader().setHeight(20.0);
        pageHeader().addRuntimeLabel(QStringLiteral("Label16"), {0, 0, 90, 8});
        pageHeader().addPrintDate(QStringLiteral("Label2"), {100, 0, 90, 8});
        pageHeader().addLine(QStringLiteral("Line1"), {0, 19, 190, 19});
        detail().setHeight(detailHeight);
        detail().addField(QStringLiteral("Text1"), {0, 0, 30, 6}, QStringLiteral("Code"));
        detail().addField(QStringLiteral("Text2"), {100, 0, 40, 6}, QStringLiteral("Amount"), QStringLiteral("#,##0"));
        detail().addField(QStringLiteral("Text3"), {150, 0, 40, 6}, QStringLiteral("Price"),
                          QStringLiteral("##,###,###"));
        pageFooter().setHeight(10.0);
        pageFooter().addPageNumber(QStringLiteral("Label29"), {80, 2, 30, 6});
        reportFooter().setHeight(12.0);
        reportFooter().addSum(QStringLiteral("Function1"), {100, 2, 40, 6}, QStringLiteral("amount"),
                              QStringLiteral("#,##0"));
        reportFooter().addSum(QStringLiteral("Function2"), {150, 2, 40, 6}, QStringLiteral("Amount"),
                              QStringLiteral("##,###,###"));
    }

    QList<Job> jobs;
    int printsDone = 0;

protected:
    void onJobStarted(desk::JobKind kind) override { jobs.append({kind, true, false}); }
    void onJobFinished(desk::JobKind kind, bool completed) override {
        jobs.append({kind, false, completed});
        // What the bill does: record a printout only when a print job went through.
        if (kind == desk::JobKind::Print && completed)
            ++printsDone;
    }
};

// Scripted dialogs whose accepted printer writes a PDF file instead of reaching a real
// printer; an empty file name makes the printer unusable.
class PrinterToFile : public desk::test::ScriptedDialogs {
public:
    explicit PrinterToFile(const QString& fileName)
        : m_fileName(fileName) {}
    bool choosePrinter(QWidget* parent, QPrinter* printer) override {
        const bool accepted = ScriptedDialogs::choosePrinter(parent, printer);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(m_fileName);
        return accepted;
    }

private:
    QString m_fileName;
};

// Pages of a PDF file written by Qt, counted from its page objects.
inline int pdfPageCount(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray data = file.readAll();
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s]"));
    return int(QString::fromLatin1(data).count(page));
}

} // namespace fixture
