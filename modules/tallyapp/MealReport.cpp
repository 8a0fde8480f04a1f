#include "MealReport.h"

#include "convert/Csv.h"
#include "data/Connection.h"
#include "report/ColumnReport.h"

namespace tallyapp {

namespace {

using tallysvc::MealSheet;

desk::ReportColumns mealColumns() {
    // Width in mm with the gap; the note takes what is left of the line. Wider than a
    // portrait line, the sheet prints on A4 landscape, which leaves the notes their room.
    const double widths[] = {18, 12, 18, 34, 58, 12, 12, 12, 12, 11, 0};
    const QStringList captions{QStringLiteral("日付"),   QStringLiteral("区分"),   QStringLiteral("部屋"),
                               QStringLiteral("お名前"), QStringLiteral("プラン"), QStringLiteral("夕・大"),
                               QStringLiteral("夕・小"), QStringLiteral("朝・大"), QStringLiteral("朝・小"),
                               QStringLiteral("変更"),   QStringLiteral("備考")};
    const QStringList fields = MealSheet::headings();
    desk::ReportColumns columns;
    for (int i = 0; i < fields.size(); ++i) {
        desk::ReportColumn column(captions.at(i), fields.at(i), widths[i]);
        if (i >= 5 && i <= 8)
            column.alignment = Qt::AlignRight | Qt::AlignVCenter;
        columns << column;
    }
    return columns;
}

QString daysText(const QList<tallysvc::MealDay>& days) {
    QStringList texts;
    for (const tallysvc::MealDay& day : days)
        texts << desk::Report::longDateText(day.day);
    return texts.join(QStringLiteral("・")) + QStringLiteral("　夕食はその日の夜、朝食はその日の朝");
}

// A note (an allergy above all) is never cut short on paper: a long one goes on over the
// lines under its party.
constexpr qsizetype NoteCharacters = 24;

QList<MealSheet::Line> printedLines(const QList<tallysvc::MealDay>& days) {
    QList<MealSheet::Line> printed;
    for (MealSheet::Line line : MealSheet::lines(days)) {
        const QString note = line.note;
        line.note = note.left(NoteCharacters);
        printed << line;
        for (qsizetype at = NoteCharacters; at < note.size(); at += NoteCharacters) {
            MealSheet::Line more;
            more.note = note.mid(at, NoteCharacters);
            printed << more;
        }
    }
    return printed;
}

} // namespace

std::unique_ptr<desk::Report> createMealReport(const QList<tallysvc::MealDay>& days,
                                               const desk::ModuleContext& context) {
    desk::ColumnReportFrame frame;
    frame.company = desk::ColumnReportFrame::Company::NameOnly;
    frame.subTitle = desk::ColumnReportFrame::SubTitle::Text;
    auto report = std::make_unique<desk::ColumnReport>(QStringLiteral("食数表"), mealColumns(), frame);
    report->setObjectName(QStringLiteral("DRMeals"));
    if (!days.isEmpty())
        report->setFileName(desk::Report::numberedFileName(QStringLiteral("食数表"), {}, days.first().day,
                                                           days.size() > 1 ? days.last().day : QDate()));
    report->openDataSource(context.DirPath(), QString::fromLatin1(desk::DbFile::Reservation),
                           MealSheet::statement(printedLines(days)));
    report->setCompany(context.profile());
    report->setSubTitle(daysText(days));
    return report;
}

QByteArray mealCsv(const QList<tallysvc::MealDay>& days) {
    QList<QStringList> lines;
    QStringList cells;
    for (const QString& heading : MealSheet::headings())
        cells << desk::csv::field(heading);
    lines << cells;
    for (const MealSheet::Line& line : MealSheet::lines(days)) {
        cells.clear();
        for (const QString& text : MealSheet::fields(line))
            cells << desk::csv::field(text, desk::csv::Guard::Formula);
        lines << cells;
    }
    return desk::csv::document(lines);
}

} // namespace tallyapp
