#include "StayRequest.h"

#include <QUrlQuery>

namespace desk {

namespace {

const QString KindKey = QStringLiteral("kind");
const QString NumberKey = QStringLiteral("number");
const QString RoomKey = QStringLiteral("room");
const QString ArrivalKey = QStringLiteral("arrival");
const QString NightsKey = QStringLiteral("nights");

QString kindName(StayRequest::Kind kind) {
    switch (kind) {
    case StayRequest::Kind::Reservation:
        return QStringLiteral("reservation");
    case StayRequest::Kind::CheckIn:
        return QStringLiteral("checkin");
    case StayRequest::Kind::NewReservation:
        break;
    }
    return QStringLiteral("new");
}

} // namespace

QString StayRequest::toText() const {
    QUrlQuery query;
    query.addQueryItem(KindKey, kindName(kind));
    if (kind == Kind::NewReservation) {
        query.addQueryItem(RoomKey, QString::fromLatin1(QUrl::toPercentEncoding(room)));
        query.addQueryItem(ArrivalKey, arrival.toString(Qt::ISODate));
        query.addQueryItem(NightsKey, QString::number(nights));
    } else {
        query.addQueryItem(NumberKey, QString::fromLatin1(QUrl::toPercentEncoding(number)));
    }
    return query.toString(QUrl::FullyEncoded);
}

std::optional<StayRequest> StayRequest::fromText(const QString& text) {
    const QUrlQuery query(text);
    const auto value = [&](const QString& key) {
        return query.queryItemValue(key, QUrl::FullyDecoded);
    };
    const QString kind = value(KindKey);
    StayRequest request;
    if (kind == kindName(Kind::NewReservation)) {
        request.room = value(RoomKey).trimmed();
        request.arrival = QDate::fromString(value(ArrivalKey), Qt::ISODate);
        bool ok = false;
        request.nights = value(NightsKey).toInt(&ok);
        if (!request.arrival.isValid() || !ok || request.nights < 1 || request.nights > 365)
            return std::nullopt;
        return request;
    }
    if (kind == kindName(Kind::Reservation))
        request.kind = Kind::Reservation;
    else if (kind == kindName(Kind::CheckIn))
        request.kind = Kind::CheckIn;
    else
        return std::nullopt;
    request.number = value(NumberKey).trimmed();
    if (request.number.isEmpty())
        return std::nullopt;
    return request;
}

} // namespace desk
