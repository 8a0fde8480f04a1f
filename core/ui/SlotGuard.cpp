#include "SlotGuard.h"

#include "Dialogs.h"
#include "convert/Convert.h"
#include "data/DbError.h"

namespace desk {

QString describeError(const std::exception_ptr& error) {
    const QString head = QStringLiteral("処理中にエラーが発生しました。");
    try {
        std::rethrow_exception(error);
    } catch (const DbError& e) {
        QString text = head + QStringLiteral("\r\nデータベース: ") + e.message();
        if (!e.place().isEmpty())
            text += QStringLiteral("\r\n") + e.place();
        // The engine's own words last: a message box shows them behind its details button.
        if (!e.detail().isEmpty())
            text += QStringLiteral("\r\n\r\n") + DbError::detailHeading() + e.detail();
        return text;
    } catch (const ConversionError& e) {
        // A typed value refused by its field is no failure of the processing.
        if (e.kind() == ConversionError::Kind::Refused)
            return e.message();
        return head + QStringLiteral("\r\n") + e.message();
    } catch (const std::exception& e) {
        return head + QStringLiteral("\r\n") + QString::fromUtf8(e.what());
    } catch (...) {
        return head + QStringLiteral("\r\n原因不明のエラーです。");
    }
}

bool guarded(QWidget* parent, const std::function<void()>& handler) {
    try {
        handler();
        return true;
    } catch (...) {
        dialogs().message(parent, describeError(std::current_exception()), QStringLiteral("警告"),
                          Dialogs::Icon::Critical);
        return false;
    }
}

} // namespace desk
