#include "TpAudMonitor.h"

#include "core/store/TpStore.h"

TpAudMonitor::TpAudMonitor(TpCommand* parent, const CmdIds& ids, bool aesSources, bool streamSource, bool withTask)
    : TpMonParent(parent)
{
    output_ = OutputParams{0x1F0, 0x1F0, 1.0, 1.0};
    for (int i = 0; i < kIdCount; ++i)
        children_[static_cast<size_t>(i)] = std::make_unique<TpChildCmd>(this, ids[static_cast<size_t>(i)], kKeepsValue);
    TpChildCmd& source = *children_[kSource];
    if (!aesSources) {
        source.SetItemEnabledAll(2, false);
        source.SetItemEnabledAll(3, false);
    }
    if (!streamSource)
        source.SetItemEnabledAll(4, false);
    const int32_t input = children_[kInput]->GetValue();
    if (input == 0 || input == 1)
        source.SetValueAll(input);
    // The start value is no change: show its view here.
    ShowSourceView(source.GetValue());
    if (withTask)
        if (TpStore* store = TpStore::Instance())
            store->AddTask(this, "MonitorPhones", kTaskPeriodMs, false, false);
}

TpAudMonitor::~TpAudMonitor()
{
    if (TpStore* store = TpStore::Instance())
        store->RemoveTask(this);
}

void TpAudMonitor::OnChildChanged(TpCommand* child, int reason)
{
    if (child != children_[kSource].get() || reason != kReasonValue)
        return;
    ShowSourceView(child->GetValue());
}

void TpAudMonitor::ShowSourceView(int32_t source)
{
    children_[kSourceInput]->SetVisibleAll(source == 0);
    children_[kSourceOutput]->SetVisibleAll(source == 1);
}
