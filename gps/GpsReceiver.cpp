#include "gps/GpsReceiver.h"

#include "gps/NmeaDecoder.h"
#include "platform/MessageWindow.h"

CGpsReceiver::CGpsReceiver() : CSerialPort("GPS")
{
    SetPort(1);
    SetLineSettings(SerialLineSettings{});
    LoadSettings();
}

CGpsReceiver::~CGpsReceiver()
{
    // The reader calls DataReceived: it must end while this object is whole.
    Close();
}

bool CGpsReceiver::GetFix(GpsFix& out) const
{
    std::lock_guard<std::mutex> lock(m_fixLock);
    out = m_fix;
    return true;
}

int CGpsReceiver::DataReceived()
{
    size_t used = SplitNmeaLines(ReceivedText(), [this](std::string_view line) {
        NmeaSentence sentence;
        if (!DecodeNmeaSentence(line, sentence))
            return;
        {
            std::lock_guard<std::mutex> lock(m_fixLock);
            ApplyNmeaSentence(sentence, m_fix);
        }
        if (sentence.kind == NmeaKind::Rmc && NotifyWindow())
            NotifyWindow()->PostMessage(NotifyMessage(), 0, reinterpret_cast<intptr_t>(this));
    });
    ConsumeReceived(used);
    return 0;
}
