#pragma once

#include <string>

class CDbfTable;

// The statistics of one field over the records of a table that pass its
// filter (272, shown by 273).
struct CFieldStatistics {
    std::string caption;
    int count = 0;
    double sum = 0;
    double minimum = 0;
    double maximum = 0;
    // The mean with the field's decimals ("%1.*lf").
    std::string mean;
};

// The field named by its caption (or name). For numeric fields each
// record's number is counted and summed; an empty value counts as 0 when
// emptyAsZero, else it is passed over. Other fields count every record,
// their sum, minimum and maximum 0. Without a counted record the mean,
// minimum and maximum are 0. False when there is no such field.
bool ComputeFieldStatistics(CDbfTable& table, const std::string& caption, bool emptyAsZero,
                            CFieldStatistics& statistics);
