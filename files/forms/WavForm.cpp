// A WAV file of one cycle: checked here, written and read through libsndfile by wave/WavTable.

#include "files/forms/FormList.h"

namespace {

class CWavForm : public CTableForm {
public:
    std::string CheckSettings(const TableOptions& o) const override {
        if (!o.wavFloat && o.wavBits != 8 && o.wavBits != 16 && o.wavBits != 24 && o.wavBits != 32)
            return "WAV samples are of 8, 16, 24 or 32 bits, or float.";
        if (o.rate < 1 || o.rate > 1000000)
            return "The sample rate must lie between 1 and 1000000.";
        return {};
    }

    bool Write(OutputBuffer&, const FormEntries&, const TableOptions&, int,
               const std::string&) const override {
        return false;
    }

    void Read(const std::string&, const TableOptions&, TableEntries& r) const override {
        r.error = "WAV files are read by libsndfile";
    }
};

} // namespace

const CTableForm& WavForm() {
    static const CWavForm form;
    return form;
}
