#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

#include <memory>

class QComboBox;

namespace Ui {
class FrmSpec;
}

namespace arrivalapp {

// "お客様の特性": the check-in screen's companion window with the five guest
// classification lists. Each entry shows "code : name" and carries its code.
//
// Loaded hidden with the check-in screen and shown beside it on request; 終わり and Escape
// only hide it, so the selections stay for the check-in screen to read when it saves.
class FrmSpec : public QDialog {
    Q_OBJECT

public:
    // Fills the five lists from the classification tables of dirPath.
    explicit FrmSpec(const QString& dirPath, QWidget* parent = nullptr);
    ~FrmSpec() override;

    // The captions of the lists that came out empty, in load order.
    QStringList emptyLists() const { return m_emptyLists; }

    // Reads the five lists again, keeping the code each one shows.
    void reload(const QString& dirPath);

    // The guest shown at the top of the window.
    void setGuest(const QString& checkInNo, const QString& name);
    // Empty guest boxes, the first entry of every list, and no reason for choosing the inn:
    // that one the clerk asks, and a guest not asked is counted as not asked.
    void clearEntries();
    // Shows the window to the right of `beside`, kept on the screen, and gives it the focus.
    void showBeside(const QWidget* beside);

    // Selects the entries of a called-up check-in's codes. A code that no entry carries
    // (its class has been deleted, or none was stored) is kept and shown until the clerk
    // picks an entry.
    void showCodes(const QString& choice, const QString& age, const QString& groupe, const QString& user,
                   const QString& pay);

    // The codes to save: the selected entry's code, or the kept code of a call-up.
    QString ChoiceClass() const;
    QString AgeClass() const;
    QString GroupeClass() const;
    QString UserClass() const;
    QString PayClass() const;

    // The position of the entry carrying `code` in `list` (ASCII letters without regard to
    // case, as the database compares codes), or -1.
    static int codePosition(const QComboBox* list, const QString& code);

private:
    void fillLists(const QString& dirPath);
    QList<QComboBox*> lists() const;
    static QString selectedCode(const QComboBox* list);
    void showCode(QComboBox* list, const QString& code);

    std::unique_ptr<Ui::FrmSpec> m_ui;
    QStringList m_emptyLists;
};

} // namespace arrivalapp
