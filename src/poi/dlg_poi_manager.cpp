#include "poi/dlg_poi_manager.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "platform/folder_listing.h"
#include "platform/program_folder.h"
#include "platform/settings_store.h"

namespace poi {
namespace {

constexpr int kColumnWidthPx = 400;

}  // namespace

DlgPoiManager::DlgPoiManager(const QString& programFolder, platform::SettingsStore& settings,
                             QWidget* parent)
    : DlgPoiManager(
          Variant{"POI", platform::kPoiTail, ".poi", platform::settings::kEnabledPoiFiles},
          programFolder, settings, parent) {}

DlgPoiManager::DlgPoiManager(const Variant& variant, const QString& programFolder,
                             platform::SettingsStore& settings, QWidget* parent)
    : QDialog(parent), variant_(variant), programFolder_(programFolder), settings_(settings) {
    Build();
    InitDialog();
}

DlgPoiManager::~DlgPoiManager() = default;

void DlgPoiManager::Build() {
    setWindowTitle(QStringLiteral("POI Manager"));
    list_ = new QTreeWidget(this);
    list_->setObjectName(QString::number(kListId));
    list_->setColumnCount(1);
    list_->setHeaderLabels({QString::fromLatin1(variant_.heading)});
    list_->setRootIsDecorated(false);
    list_->setAllColumnsShowFocus(true);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setColumnWidth(0, kColumnWidthPx);
    list_->header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    auto* ok = new QPushButton(QStringLiteral("Ok"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    auto* selectAll = new QPushButton(QStringLiteral("Select All"), this);
    auto* deselectAll = new QPushButton(QStringLiteral("Deselect All"), this);
    ok->setObjectName(QStringLiteral("1"));
    cancel->setObjectName(QStringLiteral("2"));
    selectAll->setObjectName(QString::number(kSelectAllId));
    deselectAll->setObjectName(QString::number(kDeselectAllId));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(selectAll, &QPushButton::clicked, this, &DlgPoiManager::SelectAll);
    connect(deselectAll, &QPushButton::clicked, this, &DlgPoiManager::DeselectAll);

    auto* ticks = new QHBoxLayout;
    ticks->addWidget(selectAll);
    ticks->addWidget(deselectAll);
    auto* closing = new QHBoxLayout;
    closing->addStretch();
    closing->addWidget(ok);
    closing->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addLayout(ticks);
    layout->addLayout(closing);
}

void DlgPoiManager::InitDialog() {
    const QString folder = programFolder_ + QLatin1String(variant_.folderTail);
    const QLatin1StringView extension(variant_.extension);
    if (const auto entries = platform::ListFolder(folder)) {
        for (const platform::FolderEntry& entry : *entries) {
            // "*.poi" as the handheld matches it: the extension in any letter case.
            if ((entry.attributes & platform::kAttrDirectory) != 0 ||
                !entry.name.endsWith(extension, Qt::CaseInsensitive)) {
                continue;
            }
            auto* item = new QTreeWidgetItem(list_, {entry.name});
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(0, Qt::Unchecked);
        }
    }
    if (ItemCount() == 0) {
        return;
    }
    for (int i = 0;; ++i) {
        const QString value = settings_.Get(variant_.list, i);
        if (value.isEmpty() || value == QLatin1String(platform::settings::kListEnd)) {
            break;
        }
        // The list's whole-text search, which ignores letter case: the first match is ticked.
        const QList<QTreeWidgetItem*> found = list_->findItems(value, Qt::MatchFixedString, 0);
        if (!found.isEmpty()) {
            found.first()->setCheckState(0, Qt::Checked);
        }
    }
}

void DlgPoiManager::SaveChoices() {
    int n = 0;
    for (int i = 0; i < ItemCount(); ++i) {
        if (IsTicked(i)) {
            settings_.Set(variant_.list, n++, ItemText(i));
        }
    }
    settings_.Set(variant_.list, n, QLatin1String(platform::settings::kListEnd));
    settings_.Sync();
}

void DlgPoiManager::accept() {
    SaveChoices();
    QDialog::accept();
}

void DlgPoiManager::SelectAll() {
    for (int i = 0; i < ItemCount(); ++i) {
        SetTicked(i, true);
    }
}

void DlgPoiManager::DeselectAll() {
    for (int i = 0; i < ItemCount(); ++i) {
        SetTicked(i, false);
    }
}

int DlgPoiManager::ItemCount() const {
    return list_->topLevelItemCount();
}

QString DlgPoiManager::ItemText(int index) const {
    return list_->topLevelItem(index)->text(0);
}

bool DlgPoiManager::IsTicked(int index) const {
    return list_->topLevelItem(index)->checkState(0) == Qt::Checked;
}

void DlgPoiManager::SetTicked(int index, bool ticked) {
    list_->topLevelItem(index)->setCheckState(0, ticked ? Qt::Checked : Qt::Unchecked);
}

DlgGpxManager::DlgGpxManager(const QString& programFolder, platform::SettingsStore& settings,
                             QWidget* parent)
    : DlgPoiManager(
          Variant{"Routes", platform::kRoutesTail, ".gpx", platform::settings::kEnabledGpxFiles},
          programFolder, settings, parent) {}

}  // namespace poi
