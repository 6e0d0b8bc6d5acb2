#include "gps/automation/RadioRecords.h"

namespace {
IRadioRecords* g_records = nullptr;
}

IRadioRecords* RadioRecords()
{
    return g_records;
}

void SetRadioRecords(IRadioRecords* records)
{
    g_records = records;
}
