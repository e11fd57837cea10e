#pragma once

#include <QListWidget>
#include <QWidget>
#include <initializer_list>
#include <map>
#include <string>

#include "rules/page.h"

class QButtonGroup;

namespace quorvan {

// Converts between the core's byte strings (UTF-8 in practice) and Qt text.
QString ToQt(const std::string& text);
std::string FromQt(const QString& text);

// A list of check-box rows kept in ascending order of their text, as the
// Filter page's extension lists are.
class CCheckList final : public QListWidget {
    Q_OBJECT
  public:
    explicit CCheckList(QWidget* parent = nullptr);
    // Adds an unticked row unless one has the same text, letter case ignored.
    void AddUnique(const QString& text);
    // Rows whose box is ticked, in list order.
    QStringList CheckedTexts() const;
};

// Widgets reached by control number, so that the rules and the filter read
// and write them like any other page. Check boxes and option buttons answer
// IsChecked; line edits and labels Text; date and time edits DateTime; combo
// boxes Selection; check lists the row operations.
class CWidgetControls : public CPageControls {
  public:
    // `owner` is the widget whose own enabled state IsEnabled looks through.
    explicit CWidgetControls(const QWidget* owner) : owner_(owner) {}

    // Makes a widget reachable by its control number.
    void Bind(int id, QWidget* widget);
    QWidget* Control(int id) const;
    template <class T>
    T* ControlAs(int id) const {
        return qobject_cast<T*>(Control(id));
    }

    bool IsChecked(int id) const override;
    void SetChecked(int id, bool checked) override;
    bool IsEnabled(int id) const override;
    void SetEnabled(int id, bool enabled) override;
    std::string Text(int id) const override;
    void SetText(int id, const std::string& text) override;
    LocalDateTime DateTime(int id) const override;
    void SetDateTime(int id, const LocalDateTime& value) override;
    int Selection(int id) const override;
    void SetSelection(int id, int index) override;
    int RowCount(int id) const override;
    std::string RowText(int id, int row, int column = 0) const override;
    bool IsRowChecked(int id, int row) const override;
    void SetRowChecked(int id, int row, bool checked) override;
    void ClearRows(int id) override;
    void AddUniqueRow(int id, const std::string& text) override;

    // Enables each control exactly when `on` is true.
    void EnableAll(std::initializer_list<int> ids, bool on);

  private:
    CCheckList* List(int id) const;

    const QWidget* owner_;
    std::map<int, QWidget*> controls_;
};

// A settings page: a widget whose controls are reached by number.
class CQtPage : public QWidget, public CWidgetControls {
    Q_OBJECT
  public:
    explicit CQtPage(QWidget* parent = nullptr) : QWidget(parent), CWidgetControls(this) {}

  protected:
    // Option buttons that exclude each other (one group per row of choices).
    QButtonGroup* MakeOptionGroup(std::initializer_list<int> ids);
};

}  // namespace quorvan
