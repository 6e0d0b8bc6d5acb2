#pragma once

#include "geoproc/GeoprocFrame.h"
#include "mapdoc/ResultFiles.h"

#include <memory>

class CDrelDoc;
class CFeatureSource;
class CLayer;
class CMessageCounter;

// How the work of an operation ended.
enum class EOperationEnd { kDone, kCancelled, kFailed };

// The held writes of a new layer's file sent (BeginWrites) and the file
// closed: kFailed when either failed, else the end given.
EOperationEnd CloseWritten(CFeatureSource& target, EOperationEnd end);

// The new layer of an operation from the chosen names to the legend. Its
// files are written under a temporary title beside the chosen file
// (CResultFiles) and take the chosen name when the operation ends well,
// or on a cancel that keeps what was written; only then is the layer
// added, so no half-written layer is ever in the legend. A failure, any
// other cancel and an exception remove the files and add nothing; a
// failure is told (1088) unless a message told of it already.
//
//     CNewResultLayer result(document, choice);
//     if (!result.Begin())
//         return 0;
//     ... write the files at result.GetWritePath(), then close them ...
//     return result.End(end) ? 1 : 0;
class CNewResultLayer {
public:
    enum CancelRule { kCancelAddsNothing, kCancelKeepsWritten };

    CNewResultLayer(CDrelDoc& document, CResultLayerChoice choice, CancelRule rule = kCancelAddsNothing);
    ~CNewResultLayer();
    CNewResultLayer(const CNewResultLayer&) = delete;
    CNewResultLayer& operator=(const CNewResultLayer&) = delete;

    // The chosen file may be written: no layer of an open map uses it and
    // no file of the layer is there, unless the user agreed to replace it
    // (message 1074 otherwise); and a file can be made beside it (1027
    // otherwise). False after the message.
    bool Begin();
    // Where the operation writes the layer's data file.
    const std::string& GetWritePath() const { return m_files.GetWritePath(); }
    const CResultLayerChoice& GetChoice() const { return m_choice; }

    // The end of the work, the writers closed. The layer added is the one
    // given (with the chosen name and path), else a new one of the chosen
    // type; its extent is read from its files. Null when nothing was
    // added; after a message when the files could not take their name.
    CLayer* End(EOperationEnd end, std::unique_ptr<CLayer> layer = nullptr);

private:
    CDrelDoc& m_document;
    CResultLayerChoice m_choice;
    CancelRule m_rule;
    CResultFiles m_files;
    std::unique_ptr<CMessageCounter> m_messages;
};
