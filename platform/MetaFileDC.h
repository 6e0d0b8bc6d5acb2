#pragma once

#include "platform/DC.h"
#include "platform/MetaFile.h"

#include <memory>

class CEmfRecorder;
class CWmfRecorder;

// A recording context: what is drawn into it becomes the records of an
// enhanced or a Windows metafile. It answers as a metafile context
// (IsMetafileDC) and measures text and maps coordinates as its reference
// device does, whose resolution it takes (a 96-dpi screen without one).
// A Windows metafile reports DT_METAFILE as its technology, an enhanced
// one the reference's.
class CMetaFileDC : public CDC {
public:
    CMetaFileDC();
    ~CMetaFileDC();

    // The frame of a picture width x height pixels of the reference, in
    // hundredths of a millimetre, from the reference's physical size; a
    // reference without one counts as 96 dots an inch.
    static CRect FrameFor(const CDC* reference, int width, int height);

    // Starts an enhanced metafile whose picture is frame, in hundredths of
    // a millimetre. False while recording or for a frame without area.
    bool CreateEnhanced(const CDC* reference, const CRect& frame);
    // Starts a Windows metafile with a placeable header whose picture is
    // frame, in thousandths of an inch from the device origin (the logical
    // units of the usual mapping). False while recording, for a frame
    // without area or one no unit of the format fits.
    bool Create(const CDC* reference, const CRect& frame);
    // Ends the recording: the metafile, empty when none was being recorded.
    CMetaFile Close();

private:
    void Prepare(const CDC* reference, CSize pixels, int technology);

    std::unique_ptr<CEmfRecorder> m_emf;
    std::unique_ptr<CWmfRecorder> m_wmf;
};
