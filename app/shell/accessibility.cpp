#include "app/shell/accessibility.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "app/shell/link_label.h"

namespace orvane {

namespace {

// The text of the label whose buddy the widget is, without its mnemonic.
QString BuddyCaption(const QWidget* widget) {
  const QWidget* parent = widget->parentWidget();
  if (parent == nullptr) return QString();
  for (const QLabel* label :
       parent->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
    if (label->buddy() == widget) {
      QString caption = label->text();
      caption.remove(QLatin1Char('&'));
      if (caption.endsWith(QLatin1Char(':'))) caption.chop(1);
      return caption;
    }
  }
  return QString();
}

class NamedComboBox : public QAccessibleWidget {
 public:
  explicit NamedComboBox(QComboBox* box)
      : QAccessibleWidget(box, QAccessible::ComboBox) {}

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name) {
      QString name = box()->accessibleName();
      if (name.isEmpty()) name = BuddyCaption(box());
      return name.isEmpty() ? box()->currentText() : name;
    }
    if (t == QAccessible::Value) return box()->currentText();
    return QAccessibleWidget::text(t);
  }

  // The list of items, and the text box of an editable combo box.
  int childCount() const override { return box()->isEditable() ? 2 : 1; }
  QAccessibleInterface* child(int index) const override {
    if (index == 0) return QAccessible::queryAccessibleInterface(box()->view());
    if (index == 1 && box()->isEditable()) {
      return QAccessible::queryAccessibleInterface(box()->lineEdit());
    }
    return nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    if (child == nullptr) return -1;
    if (child->object() == box()->view()) return 0;
    if (box()->isEditable() && child->object() == box()->lineEdit()) return 1;
    return -1;
  }

  QStringList actionNames() const override {
    return QStringList{showMenuAction(), pressAction()} +
           QAccessibleWidget::actionNames();
  }
  void doAction(const QString& action) override {
    if (action == showMenuAction() || action == pressAction()) {
      box()->showPopup();
      return;
    }
    QAccessibleWidget::doAction(action);
  }

 private:
  QComboBox* box() const { return static_cast<QComboBox*>(widget()); }
};

class LinkInterface : public QAccessibleWidget {
 public:
  explicit LinkInterface(LinkLabel* link)
      : QAccessibleWidget(link, QAccessible::Link) {}

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name) {
      const QString name = link()->accessibleName();
      return name.isEmpty() ? link()->text() : name;
    }
    return QAccessibleWidget::text(t);
  }

  QStringList actionNames() const override {
    return QStringList{pressAction()} + QAccessibleWidget::actionNames();
  }
  void doAction(const QString& action) override {
    if (action == pressAction()) {
      link()->Follow();
      return;
    }
    QAccessibleWidget::doAction(action);
  }

 private:
  LinkLabel* link() const { return static_cast<LinkLabel*>(widget()); }
};

QAccessibleInterface* Factory(const QString& class_name, QObject* object) {
  if (class_name == QLatin1String("QComboBox")) {
    if (auto* box = qobject_cast<QComboBox*>(object)) {
      return new NamedComboBox(box);
    }
  }
  if (class_name == QLatin1String("orvane::LinkLabel")) {
    if (auto* link = qobject_cast<LinkLabel*>(object)) {
      return new LinkInterface(link);
    }
  }
  return nullptr;
}

}  // namespace

void InstallAccessibleInterfaces() {
  static const bool installed = [] {
    QAccessible::installFactory(Factory);
    return true;
  }();
  static_cast<void>(installed);
}

}  // namespace orvane
