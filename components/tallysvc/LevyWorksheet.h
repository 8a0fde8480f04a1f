#pragma once

#include <QDate>
#include <QString>

namespace tallysvc {

// The monthly return of the bathing and accommodation taxes: the stays settled (checked out)
// from first to last, each worked out as its bill works it out, on the day of its check-out.
// A statement of literal rows, one per day, levy and band, oldest day first: 日付, 税目,
// 区分 (the band, the fixed amount or the percent; "課税なし" below every band or the exempt
// point), 人数 (the parties' guests), 免除人数, 延べ泊数 (guests × nights), 課税泊数 (taxed
// guests × nights at a levy above 0) and 税額. desk::DbError on a failed read.
QString levyWorksheet(const QString& dirPath, const QDate& first, const QDate& last);

} // namespace tallysvc
