#include "res/ToolbarPictures.h"

#include <algorithm>
#include <iterator>

namespace {

// Base pictures.
constexpr char kFolder[] = "p 8A6A20 1 f F0C850 M 1.5 3.5 L 6 3.5 L 7.5 5 L 13.5 5 L 13.5 13.5 L 1.5 13.5 Z . "
                           "f FFE080 M 1.5 13.5 L 4 7.5 L 15.5 7.5 L 13.5 13.5 Z .";
constexpr char kDisk[] = "p 203060 1 f 3A6FC0 M 1.5 1.5 L 13 1.5 L 14.5 3 L 14.5 14.5 L 1.5 14.5 Z . "
                         "p - f FFFFFF R 4 2 8 5 . f C0C8D8 R 4 9.5 8 5 . f 203060 R 9 3 2 3 .";
constexpr char kPrinter[] = "p 404040 1 f FFFFFF R 4.5 1.5 7 5 . f C8C8C8 R 1.5 6.5 13 6 . "
                            "f FFFFFF R 4.5 10.5 7 4 . p 808080 0.8 M 6 12 L 10 12 M 6 13.5 L 10 13.5 . "
                            "p - f 30A040 E 12.5 8.5 0.9 0.9 .";
constexpr char kPage[] = "p 606060 1 f FFFFFF M 2.5 1.5 L 9 1.5 L 12.5 5 L 12.5 14.5 L 2.5 14.5 Z . "
                         "p 909090 0.8 M 4.5 6 L 10.5 6 M 4.5 8.5 L 10.5 8.5 M 4.5 11 L 8.5 11 .";
constexpr char kPageSetup[] = "p 606060 1 f FFFFFF R 2.5 1.5 11 13 . p 80A0D0 0.8 D f - R 4.5 3.5 7 9 . "
                              "p 808080 0.8 M 5.5 5.5 L 10.5 5.5 M 5.5 7.5 L 10.5 7.5 M 5.5 9.5 L 9 9.5 .";
constexpr char kPreview[] = "p 606060 1 f FFFFFF M 1.5 1.5 L 8 1.5 L 10.5 4 L 10.5 14.5 L 1.5 14.5 Z . "
                            "p 404040 2.2 M 11 11 L 14.5 14.5 . p 305090 1.4 f D8ECFF E 9 9 3.2 3.2 .";
constexpr char kMagnifier[] = "p 404040 2.4 M 10 10 L 14.5 14.5 . p 305090 1.5 f E0F0FF E 6.5 6.5 4.5 4.5 .";
constexpr char kZoomIn[] = "p 404040 2.4 M 10 10 L 14.5 14.5 . p 305090 1.5 f E0F0FF E 6.5 6.5 4.5 4.5 . "
                           "p 202020 1.6 M 4.2 6.5 L 8.8 6.5 M 6.5 4.2 L 6.5 8.8 .";
constexpr char kZoomOut[] = "p 404040 2.4 M 10 10 L 14.5 14.5 . p 305090 1.5 f E0F0FF E 6.5 6.5 4.5 4.5 . "
                            "p 202020 1.6 M 4.2 6.5 L 8.8 6.5 .";
constexpr char kZoomWindow[] = "p 202020 1 D f - R 1.5 1.5 10 8 . p 404040 2.2 M 11 11 L 14.5 14.5 . "
                               "p 305090 1.3 f E0F0FF E 8.5 8.5 3 3 .";
constexpr char kPan[] = "p 202020 0.8 f 3070D0 M 8 0.5 L 11 4 L 9 4 L 9 7 L 12 7 L 12 5 L 15.5 8 L 12 11 "
                        "L 12 9 L 9 9 L 9 12 L 11 12 L 8 15.5 L 5 12 L 7 12 L 7 9 L 4 9 L 4 11 L 0.5 8 "
                        "L 4 5 L 4 7 L 7 7 L 7 4 L 5 4 Z .";
constexpr char kInfo[] = "p 1A4A9A 1 f 3A7AD0 E 8 8 6.8 6.8 . p - f FFFFFF E 8 4.6 1.2 1.2 . R 7 6.8 2 5.7 .";
constexpr char kRuler[] = "p 806020 1 f F0D070 M 1 11 L 11 1 L 15 5 L 5 15 Z . "
                          "p 604010 0.9 M 3 9 L 4.8 10.8 M 5 7 L 6.2 8.2 M 7 5 L 8.8 6.8 M 9 3 L 10.2 4.2 .";
constexpr char kPolygon[] = "p 2060C0 1.2 f A8C8F0 M 2 5 L 8 1.5 L 14.5 6 L 12 14 L 4 12.5 Z . "
                            "p - f 202020 R 1 4 2 2 . R 7 0.5 2 2 . R 13.5 5 2 2 . R 11 13 2 2 . R 3 11.5 2 2 .";
constexpr char kGlobe[] = "p 1A5A9A 1 f 90C8F0 E 8 8 6.5 6.5 . p 1A5A9A 0.8 f - E 8 8 3 6.5 . "
                          "M 1.5 8 L 14.5 8 M 2.6 4.5 L 13.4 4.5 M 2.6 11.5 L 13.4 11.5 .";
constexpr char kBack[] = "p 1A6A2A 1 f 40B050 M 1 8 L 7 2 L 7 5.5 L 15 5.5 L 15 10.5 L 7 10.5 L 7 14 Z .";
constexpr char kForward[] = "p 1A6A2A 1 f 40B050 M 15 8 L 9 2 L 9 5.5 L 1 5.5 L 1 10.5 L 9 10.5 L 9 14 Z .";
constexpr char kRedraw[] = "p 2060C0 2 f - A 8 8.5 5.5 70 290 . p - f 2060C0 M 7 0.5 L 12 3.2 L 7 6 Z .";
constexpr char kLayers[] = "p 305030 1 f 80C080 M 8 9 L 15 12 L 8 15 L 1 12 Z . "
                           "f A0D8A0 M 8 5.5 L 15 8.5 L 8 11.5 L 1 8.5 Z . f C8F0C8 M 8 2 L 15 5 L 8 8 L 1 5 Z .";
constexpr char kTable[] = "p 505050 1 f FFFFFF R 1.5 2.5 13 11 . p - f 6090D0 R 2 3 12 2.5 . "
                          "p 909090 0.8 M 1.5 8 L 14.5 8 M 1.5 11 L 14.5 11 M 6 5.5 L 6 13.5 M 10.5 5.5 L 10.5 13.5 .";
constexpr char kTableColumn[] = "p 505050 1 f FFFFFF R 1.5 2.5 13 11 . p - f 6090D0 R 2 3 12 2.5 . "
                                "f F0D070 R 6 5.5 4.5 8 . "
                                "p 909090 0.8 M 1.5 8 L 14.5 8 M 1.5 11 L 14.5 11 M 6 5.5 L 6 13.5 "
                                "M 10.5 5.5 L 10.5 13.5 .";
constexpr char kList[] = "p 505050 1 f FFFFFF R 1.5 1.5 13 13 . p - f 2060C0 R 3.5 4 2 2 . R 3.5 7.5 2 2 . "
                         "R 3.5 11 2 2 . p 606060 1 M 7 5 L 12.5 5 M 7 8.5 L 12.5 8.5 M 7 12 L 12.5 12 .";
constexpr char kCopy[] = "p 606060 1 f FFFFFF R 1.5 1.5 8 10 . R 6.5 4.5 8 10 . "
                         "p 909090 0.8 M 8.5 7.5 L 12.5 7.5 M 8.5 9.5 L 12.5 9.5 M 8.5 11.5 L 11 11.5 .";
constexpr char kPaste[] = "p 604010 1 f C89050 R 2.5 2.5 11 13 . p 404040 1 f C0C0C0 R 5.5 1 5 3 . "
                          "p 606060 0.8 f FFFFFF R 4.5 5 7 9 .";
constexpr char kHouse[] = "p 603010 1 f F0E0C0 M 2.5 8 L 2.5 14.5 L 11.5 14.5 L 11.5 8 Z . "
                          "f D04030 M 1 8.5 L 7 2.5 L 13 8.5 Z . p - f 8A5A20 R 5.5 10.5 3 4 .";
constexpr char kPin[] = "p 801010 1 f E03030 M 8 15.5 L 4.2 8.5 L 11.8 8.5 Z . E 8 6 4.5 4.5 . "
                        "p - f FFFFFF E 8 6 1.8 1.8 .";
constexpr char kPointer[] = "p 202020 1 f FFFFFF M 3 1.5 L 3 13.5 L 6 10.5 L 8.5 15 L 10.5 14 L 8 9.5 L 12.5 9.5 Z .";
constexpr char kStar[] = "p 806000 0.8 f F0D040 M 8 1 L 9.6 6.4 L 15 8 L 9.6 9.6 L 8 15 L 6.4 9.6 L 1 8 "
                         "L 6.4 6.4 Z .";
constexpr char kShape[] = "p 2060C0 1.4 f - M 2 13 L 5 4 L 11 7 L 14 2 . "
                          "p 202020 0.8 f FFFFFF R 0.5 11.5 3 3 . R 3.5 2.5 3 3 . R 9.5 5.5 3 3 . R 12.5 0.5 3 3 .";
constexpr char kRoute[] = "p D08020 2.2 f - M 2.5 13.5 L 5 9 L 10 10 L 13.5 3 . p 303030 0.6 f 30A040 "
                          "E 2.5 13.5 2 2 . f D03030 E 13.5 3 2 2 .";
constexpr char kStartFlag[] = "p 303030 1.4 M 3 15.5 L 3 1.5 . p 1A5A1A 0.8 f 30B040 "
                              "M 3.5 2 L 14 2 L 11.5 5.5 L 14 9 L 3.5 9 Z .";
constexpr char kFinishFlag[] = "p 303030 1.4 M 3 15.5 L 3 1.5 . p 701010 0.8 f D03030 "
                               "M 3.5 2 L 14 2 L 11.5 5.5 L 14 9 L 3.5 9 Z .";
constexpr char kMiddleFlag[] = "p 303030 1.4 M 3 15.5 L 3 1.5 . p 103070 0.8 f 3070D0 "
                               "M 3.5 2 L 14 2 L 11.5 5.5 L 14 9 L 3.5 9 Z .";
constexpr char kEditFlag[] = "p 303030 1.4 M 3 15.5 L 3 1.5 . p 806000 0.8 f F0D040 "
                             "M 3.5 2 L 14 2 L 11.5 5.5 L 14 9 L 3.5 9 Z .";
constexpr char kPlay[] = "p 1A6A2A 1 f 40B050 M 4 2 L 13 8 L 4 14 Z .";
constexpr char kPause[] = "p 204080 1 f 4080D0 R 3.5 2.5 3 11 . R 9.5 2.5 3 11 .";
constexpr char kStop[] = "p 802020 1 f D04040 R 3 3 10 10 .";
constexpr char kFirst[] = "p 204080 1 f 4080D0 R 1.5 3 2 10 . M 9 3 L 4 8 L 9 13 Z . M 15 3 L 10 8 L 15 13 Z .";
constexpr char kPrevious[] = "p 204080 1 f 4080D0 R 3 3 2 10 . M 13 3 L 6 8 L 13 13 Z .";
constexpr char kNext[] = "p 204080 1 f 4080D0 M 3 3 L 10 8 L 3 13 Z . R 11 3 2 10 .";
constexpr char kLast[] = "p 204080 1 f 4080D0 M 1 3 L 6 8 L 1 13 Z . M 7 3 L 12 8 L 7 13 Z . R 12.5 3 2 10 .";
constexpr char kLoop[] = "p 2060C0 1.8 f - A 8 8.5 5 100 280 . p - f 2060C0 M 9 1 L 13 3.6 L 9 6.4 Z .";
constexpr char kChart[] = "p 404040 1 f - M 1.5 1.5 L 1.5 14.5 L 14.5 14.5 . p 204080 0.8 f 4080D0 R 3.5 8 2.5 6 . "
                          "f D04040 R 7 4 2.5 10 . f 30A040 R 10.5 6 2.5 8 .";
constexpr char kMap[] = "p 506030 1 f F0ECC8 M 1.5 3 L 5.5 1.5 L 10.5 3 L 14.5 1.5 L 14.5 13 L 10.5 14.5 L 5.5 13 "
                       "L 1.5 14.5 Z . p 8A7A50 0.8 M 5.5 1.5 L 5.5 13 M 10.5 3 L 10.5 14.5 . "
                       "p D04030 1.3 f - M 3 11 L 7 7 L 9.5 9.5 L 13 5 .";
constexpr char kLargeIcons[] = "p 505050 1 f 90B8E8 R 1.5 1.5 5.5 5.5 . R 9 1.5 5.5 5.5 . R 1.5 9 5.5 5.5 . "
                               "R 9 9 5.5 5.5 .";
constexpr char kSmallIcons[] = "p - f 2060C0 R 1 2 3 3 . R 1 7 3 3 . R 1 12 3 3 . R 8.5 2 3 3 . R 8.5 7 3 3 . "
                               "p 606060 1 M 4.5 3.5 L 7 3.5 M 4.5 8.5 L 7 8.5 M 4.5 13.5 L 7 13.5 M 12 3.5 "
                               "L 15 3.5 M 12 8.5 L 15 8.5 .";
constexpr char kSigma[] = "p 202020 1.8 f - M 12.5 3 L 4 3 L 8.5 8 L 4 13 L 12.5 13 .";

// Badges over the lower right corner.
constexpr char kAdd[] = "p FFFFFF 0.8 f 30A040 E 12 12 3.6 3.6 . p FFFFFF 1.6 M 9.8 12 L 14.2 12 M 12 9.8 L 12 14.2 .";
constexpr char kRemove[] = "p FFFFFF 0.8 f D03030 E 12 12 3.6 3.6 . "
                           "p FFFFFF 1.6 M 10.4 10.4 L 13.6 13.6 M 13.6 10.4 L 10.4 13.6 .";
constexpr char kPencil[] = "p 604010 0.8 f F0C040 M 9 15 L 9.5 12.5 L 14 8 L 16 10 L 11.5 14.5 Z . "
                           "f 303030 M 9 15 L 9.3 13.5 L 10.5 14.7 Z .";
constexpr char kLens[] = "p 303030 1.8 M 12.5 12.5 L 15.5 15.5 . p 305090 1.1 f E0F0FF E 10.5 10.5 2.8 2.8 .";
constexpr char kSmallInfo[] = "p FFFFFF 0.8 f 3A7AD0 E 12 12 3.6 3.6 . p - f FFFFFF R 11.3 11.2 1.4 3 . "
                              "E 12 9.9 0.8 0.8 .";
constexpr char kMove[] = "p FFFFFF 0.6 f 202020 M 12 8 L 14 10 L 12.8 10 L 12.8 11.2 L 14 11.2 L 14 10 L 16 12 "
                         "L 14 14 L 14 12.8 L 12.8 12.8 L 12.8 14 L 14 14 L 12 16 L 10 14 L 11.2 14 L 11.2 12.8 "
                         "L 10 12.8 L 10 14 L 8 12 L 10 10 L 10 11.2 L 11.2 11.2 L 11.2 10 L 10 10 Z .";
constexpr char kUp[] = "p 1A6A2A 0.8 f 40B050 M 12 8 L 16 12 L 13.5 12 L 13.5 16 L 10.5 16 L 10.5 12 L 8 12 Z .";
constexpr char kCheck[] = "p 1A6A2A 2 f - M 9 12 L 11.5 14.5 L 15.5 9 .";
constexpr char kSmallPin[] = "p 801010 0.8 f D03030 M 12 16 L 9.6 11.8 L 14.4 11.8 Z . E 12 11 2.6 2.6 . "
                             "p - f FFFFFF E 12 11 1 1 .";

struct Entry {
    int command;
    ToolbarPicture picture;
};

constexpr Entry kPictures[] = {
    {57601, {kFolder, nullptr}},     {57603, {kDisk, nullptr}},          {57607, {kPrinter, nullptr}},
    {57609, {kPreview, nullptr}},    {30091, {kPageSetup, nullptr}},     {30065, {kZoomWindow, nullptr}},
    {30063, {kZoomIn, nullptr}},     {30064, {kZoomOut, nullptr}},       {30057, {kPan, nullptr}},
    {30059, {kInfo, nullptr}},       {30056, {kRuler, nullptr}},         {30055, {kPolygon, nullptr}},
    {30027, {kGlobe, nullptr}},      {30021, {kBack, nullptr}},          {30339, {kForward, nullptr}},
    {30018, {kRedraw, nullptr}},     {30336, {kLayers, kLens}},          {30431, {kMagnifier, nullptr}},
    {30331, {kHouse, kLens}},        {30066, {kLayers, kPencil}},        {30068, {kTable, nullptr}},
    {30071, {kLayers, kRemove}},     {30483, {kList, nullptr}},          {30484, {kLayers, kAdd}},
    {30105, {kCopy, nullptr}},       {30106, {kPaste, nullptr}},         {30428, {kFirst, nullptr}},
    {30615, {kPrevious, nullptr}},   {30424, {kPause, nullptr}},         {30425, {kPlay, nullptr}},
    {30616, {kNext, nullptr}},       {30617, {kLast, nullptr}},          {30426, {kStop, nullptr}},
    {30429, {kLoop, nullptr}},       {30032, {kStartFlag, nullptr}},     {30033, {kFinishFlag, nullptr}},
    {30034, {kMiddleFlag, nullptr}}, {30094, {kEditFlag, kMove}},        {30035, {kRoute, nullptr}},
    {30036, {kRoute, kRemove}},      {30620, {kDisk, kSmallPin}},        {30608, {kPin, nullptr}},
    {30489, {kPin, kAdd}},           {30490, {kList, kSmallPin}},        {30084, {kPointer, nullptr}},
    {30058, {kStar, nullptr}},       {30037, {kShape, nullptr}},         {30060, {kShape, kRemove}},
    {30062, {kPage, kPencil}},       {30623, {kPin, kAdd}},              {30626, {kPin, kRemove}},
    {30625, {kPin, kMove}},          {30624, {kPin, kPencil}},           {30239, {kTable, kSmallInfo}},
    {30240, {kTable, kPencil}},      {30242, {kTableColumn, kPencil}},   {30241, {kTable, kLens}},
    {30243, {kSigma, nullptr}},      {30298, {kTable, kSmallPin}},       {30300, {kTable, kUp}},
    {30437, {kTable, kCheck}},       {30433, {kTable, kRemove}},         {30248, {kChart, nullptr}},
    {30198, {kMap, nullptr}},        {30199, {kMap, kAdd}},              {30200, {kMap, kRemove}},
    {30201, {kMap, kPencil}},        {30203, {kLargeIcons, nullptr}},    {30205, {kSmallIcons, nullptr}},
    {30206, {kTable, nullptr}},
};

} // namespace

ToolbarPicture FindToolbarPicture(int commandId)
{
    auto it = std::find_if(std::begin(kPictures), std::end(kPictures),
                           [commandId](const Entry& e) { return e.command == commandId; });
    return it == std::end(kPictures) ? ToolbarPicture{nullptr, nullptr} : it->picture;
}
