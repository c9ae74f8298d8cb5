#include "ui/window/form_stored.h"

#include <QAction>
#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMetaProperty>
#include <QScreen>
#include <QStackedWidget>
#include <QTabWidget>

#include <algorithm>

#include "core/base/translate.h"

namespace skimlet {

QString CaptionText(const QString& product, int major, int minor, int release, const QString& buildKind) {
  QString version = QString::asprintf("%.2d.%.2d", major, minor);
  if (release != 0) version += QString::asprintf(".%d", release);
  QString caption = (product.isEmpty() ? QStringLiteral("Skimlet") : product) + " " + version;
  if (!buildKind.isEmpty()) caption += " " + buildKind;
  return caption;
}

// ---- translation ------------------------------------------------------------------------------------------

namespace {

// The tab widget showing Page, or nullptr.
QTabWidget* TabWidgetOf(QObject* page) {
  auto* w = qobject_cast<QWidget*>(page);
  if (!w || !w->parentWidget()) return nullptr;
  if (auto* stack = qobject_cast<QStackedWidget*>(w->parentWidget()))
    return qobject_cast<QTabWidget*>(stack->parentWidget());
  return nullptr;
}

// The Qt property behind a caption or a hint.
QByteArray QtPropertyName(QObject* o, std::string_view name) {
  if (name == "Caption") {
    if (qobject_cast<QMenu*>(o) || qobject_cast<QGroupBox*>(o)) return "title";
    if (auto* w = qobject_cast<QWidget*>(o); w && w->isWindow()) return "windowTitle";
    return "text";
  }
  if (name == "Hint") return "toolTip";
  return QByteArray(name.data(), static_cast<qsizetype>(name.size()));
}

}  // namespace

TQtTranslatable::TQtTranslatable(QObject* object, std::string className)
    : object_(object), className_(std::move(className)) {}

TTranslatable* TQtTranslatable::FindComponent(std::string_view name) {
  if (!object_ || name.empty()) return nullptr;
  auto* child = object_->findChild<QObject*>(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
  if (!child) return nullptr;
  return &children_.emplace_back(child);
}

TPropertyKind TQtTranslatable::PropertyKind(std::string_view name) const {
  if (!object_) return TPropertyKind::None;
  if (name == "Caption" && TabWidgetOf(object_)) return TPropertyKind::String;
  const QMetaObject* meta = object_->metaObject();
  const int index = meta->indexOfProperty(QtPropertyName(object_, name).constData());
  if (index < 0) return TPropertyKind::None;
  const QMetaProperty p = meta->property(index);
  if (!p.isWritable()) return TPropertyKind::None;
  switch (p.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: return TPropertyKind::Integer;
    case QMetaType::Double:
    case QMetaType::Float: return TPropertyKind::Float;
    case QMetaType::QString: return TPropertyKind::String;
    case QMetaType::QStringList: return TPropertyKind::Other;
    default: return TPropertyKind::None;
  }
}

TTranslatable* TQtTranslatable::PropertyObject(std::string_view) { return nullptr; }

void TQtTranslatable::SetInteger(std::string_view name, int64_t value) {
  object_->setProperty(QtPropertyName(object_, name).constData(), QVariant::fromValue(value));
}

void TQtTranslatable::SetFloat(std::string_view name, double value) {
  object_->setProperty(QtPropertyName(object_, name).constData(), value);
}

void TQtTranslatable::SetString(std::string_view name, const std::string& value) {
  const QString text = QString::fromStdString(value);
  if (name == "Caption") {
    if (QTabWidget* tabs = TabWidgetOf(object_)) {
      tabs->setTabText(tabs->indexOf(static_cast<QWidget*>(object_)), text);
      return;
    }
  }
  object_->setProperty(QtPropertyName(object_, name).constData(), text);
}

void TQtTranslatable::SetStrings(std::string_view name, const std::vector<std::string>& value) {
  QStringList list;
  for (const auto& s : value) list << QString::fromStdString(s);
  object_->setProperty(QtPropertyName(object_, name).constData(), list);
}

// ---- TFormStored -----------------------------------------------------------------------------------------

TFormStored::TFormStored(TStartEnvironment env, QWidget* parent) : QMainWindow(parent), env_(std::move(env)) {
  ui::AttachDialogs(this, &env_.Dialogs);
  std::optional<TScreenSize> screen;
  if (QScreen* s = QGuiApplication::primaryScreen()) screen = TScreenSize{s->size().width(), s->size().height()};
  const auto messages = LoadOptions(env_.Folders, Options, Lang, screen);
  SetTextSource(&Lang);
  for (const auto& m : messages)
    Ask(QString::fromStdString(m.Text), QString::fromStdString(m.Caption), QMessageBox::Critical, QMessageBox::Ok);

  resize(1000, 680);  // the designed size, kept when the stored place is on no screen
  const QPoint topLeft(Options.MainWindowLeft, Options.MainWindowTop);
  if (QGuiApplication::screenAt(topLeft)) {
    move(topLeft);
    resize(std::max(200, Options.MainWindowWidth), std::max(150, Options.MainWindowHeight));
  }
}

TFormStored::~TFormStored() {
  StorePlacement();
  const auto messages = SaveOptions(env_.Folders, Options);
  for (const auto& m : messages) qWarning("%s: %s", m.Caption.c_str(), m.Text.c_str());
  SetTextSource(nullptr);
  ui::DetachDialogs(this);
}

void TFormStored::StorePlacement() {
  const Qt::WindowStates s = windowState();
  Options.MainWindowState = s & Qt::WindowMinimized ? 1 : s & Qt::WindowMaximized ? 2 : 0;
  if (Options.MainWindowState == 0) {
    Options.MainWindowLeft = pos().x();
    Options.MainWindowTop = pos().y();
    Options.MainWindowWidth = width();
    Options.MainWindowHeight = height();
  }
}

void TFormStored::ShowStored() {
  switch (Options.MainWindowState) {
    case 1: showMinimized(); break;
    case 2: showMaximized(); break;
    default: show(); break;
  }
}

void TFormStored::SetCaption() {
  const QString caption = CaptionText(QString::fromStdString(ProductName()), SKIMLET_VERSION_MAJOR,
                                      SKIMLET_VERSION_MINOR, SKIMLET_VERSION_PATCH, QStringLiteral(SKIMLET_BUILD_KIND));
  setWindowTitle(caption);
  QApplication::setApplicationDisplayName(caption);
}

QMessageBox::StandardButton TFormStored::Ask(const QString& text, const QString& caption, QMessageBox::Icon icon,
                                             QMessageBox::StandardButtons buttons) {
  if (!env_.Dialogs.Message) return QMessageBox::NoButton;
  return env_.Dialogs.Message(this, text, caption, icon, buttons);
}

void TFormStored::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && firstActivation_) {
    firstActivation_ = false;
    SetCaption();
    FirstActivation();
  }
}

}  // namespace skimlet
