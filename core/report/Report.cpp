#include "report/Report.h"

#include "report/PdfText.h"
#include "report/ReportPainter.h"
#include "report/ReportPreview.h"
#include "report/TextFit.h"

#include "convert/Convert.h"
#include "data/Connection.h"
#include "data/RowSet.h"
#include "ui/Dialogs.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrinter>

#include <cmath>
#include <stdexcept>

namespace desk {

namespace {

// A band may end this close to the page footer and still count as fitting: positions are
// sums of millimetre fractions.
constexpr double fitTolerance = 0.001;

QString plainNumber(double value) {
    if (std::isfinite(value) && value == std::trunc(value) && std::abs(value) < 1e15)
        return QString::number(qint64(value));
    return QString::number(value, 'g', 15);
}

QString numberText(double value, const QString& format) {
    return format.isEmpty() ? plainNumber(value) : convert::formatValue(value, format);
}

// A column value as the sums add it: no value counts 0, text counts its leading number.
double numberOf(const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return 0.0;
    if (value.typeId() == QMetaType::QString)
        return convert::leadingNumber(value.toString());
    return value.toDouble();
}

QString fieldText(const QVariant& value, const QString& format) {
    if (!value.isValid() || value.isNull())
        return {};
    // A format given to a field is the suite's one display formatter; numbers kept as
    // text take a number format too, as they show on screen.
    if (!format.isEmpty())
        return convert::formatValue(value, format);
    switch (value.typeId()) {
    case QMetaType::QDate:
        return convert::shortDateText(value.toDate());
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        if (dt.time() == QTime(0, 0))
            return convert::shortDateText(dt.date());
        return dt.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
    }
    case QMetaType::QTime:
        return value.toTime().toString(QStringLiteral("HH:mm"));
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::Double:
    case QMetaType::Float:
        return plainNumber(value.toDouble());
    default:
        return value.toString();
    }
}

// %p page, %D long date, %d short date, %% percent sign; any other % stays as it is.
QString expandTokens(const QString& caption, int page, const QDate& date) {
    if (!caption.contains(QLatin1Char('%')))
        return caption;
    QString out;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        const QChar ch = caption[i];
        if (ch == QLatin1Char('%') && i + 1 < caption.size()) {
            const QChar next = caption[i + 1];
            if (next == QLatin1Char('p')) {
                out += QString::number(page);
                ++i;
                continue;
            }
            if (next == QLatin1Char('D')) {
                out += Report::longDateText(date);
                ++i;
                continue;
            }
            if (next == QLatin1Char('d')) {
                out += Report::shortDateText(date);
                ++i;
                continue;
            }
            if (next == QLatin1Char('%')) {
                out += QLatin1Char('%');
                ++i;
                continue;
            }
        }
        out += ch;
    }
    return out;
}

// Puts a handed-over row set back on the row the screen had, whatever happens while
// the report reads it.
class PositionKeeper {
public:
    explicit PositionKeeper(RowSet* rows)
        : m_rows(rows) {
        if (m_rows && !m_rows->eof() && !m_rows->bof()) {
            m_bookmark = m_rows->bookmark();
            m_onRow = true;
        }
    }
    ~PositionKeeper() {
        if (!m_onRow)
            return;
        try {
            m_rows->setBookmark(m_bookmark);
        } catch (...) {
            // The row may have gone meanwhile; the report itself has been read.
        }
    }
    PositionKeeper(const PositionKeeper&) = delete;
    PositionKeeper& operator=(const PositionKeeper&) = delete;

private:
    RowSet* m_rows;
    RowSet::Bookmark m_bookmark = 0;
    bool m_onRow = false;
};

} // namespace

Report::Report(QObject* parent)
    : QObject(parent)
    , m_pageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                   QPageLayout::Millimeter) {
    const auto taken = [this](const QString& name) {
        return isNameTaken(name);
    };
    for (int i = 0; i < 5; ++i)
        m_sections[size_t(i)] = std::make_unique<ReportSection>(SectionKind(i), taken);
}

Report::~Report() = default;

ReportSection& Report::section(SectionKind kind) {
    return *m_sections[size_t(kind)];
}

const ReportSection& Report::section(SectionKind kind) const {
    return *m_sections[size_t(kind)];
}

double Report::printableWidth() const {
    return m_pageLayout.paintRect(QPageLayout::Millimeter).width();
}

void Report::setDataSource(RowSet* rows) {
    m_rows = rows;
    m_ownedRows.reset();
    m_connection.reset();
}

void Report::setDataSource(std::unique_ptr<RowSet> rows) {
    m_rows = rows.get();
    m_ownedRows = std::move(rows);
    m_connection.reset();
}

void Report::openDataSource(const QString& dirPath, const QString& fileName, const QString& source) {
    auto connection = Connection::open(dirPath, fileName);
    auto rows = std::make_unique<RowSet>(connection, source);
    m_rows = nullptr;
    m_ownedRows = std::move(rows);
    m_connection = std::move(connection);
    m_rows = m_ownedRows.get();
}

bool Report::isNameTaken(const QString& name) const {
    return findControl(name) != nullptr;
}

const ReportControl* Report::findControl(const QString& name) const {
    for (const auto& s : m_sections) {
        // Sections are made one by one in the constructor; a later one may not exist yet.
        if (!s)
            continue;
        if (const ReportControl* c = s->control(name))
            return c;
    }
    return nullptr;
}

void Report::setLabel(const QString& name, const QString& caption) {
    const ReportControl* c = findControl(name);
    if (!c || (c->kind != ReportControl::Kind::Label && c->kind != ReportControl::Kind::RuntimeLabel))
        throw std::invalid_argument("no label named " + name.toStdString() + " in report " + m_title.toStdString());
    m_labels.insert(name, caption);
}

QString Report::label(const QString& name) const {
    if (const auto it = m_labels.constFind(name); it != m_labels.cend())
        return *it;
    const ReportControl* c = findControl(name);
    return c && c->kind == ReportControl::Kind::Label ? c->text : QString();
}

void Report::setCompanyLabels(const CompanyProfile& profile, const CompanyLabelStyle& style) {
    const QStringList names = CompanyLabelStyle::labelNames();
    const QStringList texts = style.texts(profile);
    for (qsizetype i = 0; i < names.size(); ++i)
        setLabel(names[i], texts[i]);
}

QDate Report::printDate() const {
    return m_printDate.isValid() ? m_printDate : QDate::currentDate();
}

ReportDocument Report::compose() {
    ReportDocument doc;
    doc.title = m_title;
    doc.fileName = m_fileName;
    doc.pageLayout = m_pageLayout;

    const double pageHeight = m_pageLayout.paintRect(QPageLayout::Millimeter).height();
    const ReportSection& reportHead = section(SectionKind::ReportHeader);
    const ReportSection& pageHead = section(SectionKind::PageHeader);
    const ReportSection& detailBand = section(SectionKind::Detail);
    const ReportSection& pageFoot = section(SectionKind::PageFooter);
    const ReportSection& reportFoot = section(SectionKind::ReportFooter);
    const double footerTop = pageHeight - pageFoot.height();
    const QDate date = printDate();

    // Every summed column, keyed without case as the row set matches columns.
    QHash<QString, double> sums;
    for (const auto& s : m_sections) {
        for (const auto& c : s->controls()) {
            if (c.kind == ReportControl::Kind::Sum)
                sums.insert(c.text.toLower(), 0.0);
        }
    }

    int page = 0;
    double y = 0.0;
    int detailsOnPage = 0;

    const auto textOf = [&](const ReportControl& c) -> QString {
        switch (c.kind) {
        case ReportControl::Kind::Label:
            // A caption the report set at start is data and prints as it is.
            if (const auto it = m_labels.constFind(c.name); it != m_labels.cend())
                return *it;
            return expandTokens(c.text, page, date);
        case ReportControl::Kind::RuntimeLabel:
            return m_labels.value(c.name);
        case ReportControl::Kind::Field:
            return fieldText(m_rows->value(c.text), c.format);
        case ReportControl::Kind::Sum:
            return numberText(sums.value(c.text.toLower()), c.format);
        case ReportControl::Kind::Line:
            break;
        }
        return {};
    };

    const auto place = [&](const ReportSection& s, double top, int row) {
        if (s.height() <= 0.0 && s.controls().empty())
            return;
        doc.bandList.append({s.kind(), page, top, s.height(), row});
        for (const auto& c : s.controls()) {
            ReportItem item;
            item.page = page;
            item.section = s.kind();
            item.control = c.name;
            item.row = row;
            if (c.kind == ReportControl::Kind::Line) {
                item.kind = ReportItem::Kind::Line;
                item.line = c.line.translated(0.0, top);
                item.lineWidth = c.lineWidth;
            } else {
                // A field outside the detail band has no current row to read.
                if (c.kind == ReportControl::Kind::Field && (row < 0 || !m_rows))
                    continue;
                item.kind = ReportItem::Kind::Text;
                item.rect = c.rect.translated(0.0, top);
                item.text = textOf(c);
                item.alignment = c.alignment;
                item.fontSize = c.fontSize;
                if (c.fit) {
                    const FittedText fitted = fitTextInBox(item.text, c.rect.size(), c.fontSize, c.bold, c.alignment);
                    item.text = fitted.text;
                    item.fontSize = fitted.font.pointSizeF();
                    item.wrap = fitted.wraps();
                }
                item.bold = c.bold;
            }
            doc.items.append(item);
        }
    };

    const auto startPage = [&] {
        ++page;
        y = 0.0;
        detailsOnPage = 0;
        if (page == 1) {
            place(reportHead, y, -1);
            y += reportHead.height();
        }
        place(pageHead, y, -1);
        y += pageHead.height();
    };
    const auto endPage = [&] {
        place(pageFoot, footerTop, -1);
    };
    // A band that cannot fit even on a page of its own prints anyway rather than never.
    const auto breakBefore = [&](double height, bool pageHasBody) {
        if (pageHasBody && y + height > footerTop + fitTolerance) {
            endPage();
            startPage();
        }
    };

    startPage();
    if (m_rows) {
        PositionKeeper keeper(m_rows);
        int row = 0;
        for (m_rows->moveFirst(); !m_rows->eof(); m_rows->moveNext(), ++row) {
            breakBefore(detailBand.height(), detailsOnPage > 0);
            for (auto it = sums.begin(); it != sums.end(); ++it)
                it.value() += numberOf(m_rows->value(it.key()));
            place(detailBand, y, row);
            y += detailBand.height();
            ++detailsOnPage;
        }
    }
    breakBefore(reportFoot.height(), detailsOnPage > 0);
    place(reportFoot, y, -1);
    y += reportFoot.height();
    endPage();
    doc.pageCount = page;
    return doc;
}

void Report::runJob(JobKind kind, const std::function<void()>& work) {
    onJobStarted(kind);
    emit jobStarted(kind);
    try {
        work();
    } catch (...) {
        onJobFinished(kind, false);
        emit jobFinished(kind, false);
        throw;
    }
    onJobFinished(kind, true);
    emit jobFinished(kind, true);
}

int Report::render(QPagedPaintDevice* device, JobKind kind) {
    int pages = 0;
    runJob(kind, [&] {
        const ReportDocument doc = compose();
        ReportPainter::paint(doc, device);
        pages = doc.pageCount;
    });
    return pages;
}

void Report::exportPdf(const QString& fileName) {
    writePdf(fileName, m_title, [this](QPdfWriter& writer) { render(&writer, JobKind::Export); });
}

bool Report::print(QWidget* parent) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(m_pageLayout);
    printer.setDocName(m_title);
    if (!dialogs().choosePrinter(parent, &printer))
        return false;
    render(&printer, JobKind::Print);
    return true;
}

ReportPreview* Report::showPreview(QWidget* parent) {
    ReportDocument doc;
    runJob(JobKind::Preview, [&] { doc = compose(); });
    auto* preview = new ReportPreview(std::move(doc), this, parent);
    preview->show();
    return preview;
}

QString Report::longDateText(const QDate& date) {
    return QStringLiteral("%1年%2月%3日").arg(date.year()).arg(date.month()).arg(date.day());
}

QString Report::shortDateText(const QDate& date) {
    return convert::shortDateText(date);
}

QString Report::fontFamily() {
    return QStringLiteral("Noto Sans CJK JP");
}

QString Report::numberedFileName(const QString& kind, const QString& number, const QDate& day, const QDate& lastDay) {
    static const QRegularExpression unsafe(QStringLiteral("[\\\\/:*?\"<>|\\s]"));
    QStringList parts{kind};
    QString safe = number.trimmed();
    safe.replace(unsafe, QStringLiteral("_"));
    if (!safe.isEmpty())
        parts << safe;
    for (const QDate& d : {day, lastDay}) {
        if (d.isValid())
            parts << d.toString(QStringLiteral("yyyyMMdd"));
    }
    return parts.join(QLatin1Char('_'));
}

} // namespace desk
