// A plug-in built with the SDK whose module throws out of the operation named by THROW_IN, as a
// plug-in with a bug or an unplugged device of its own might. Its block goes on unchanged.
#include <aurivo/PlugIn.h>

#include <stdexcept>
#include <string_view>

class CThrowingView : public CDspView {
    AURIVO_DECLARE_SERIAL(CThrowingView)
public:
    int StartRun() override {
        Throw("StartRun");
        return 1;
    }
    int ProcessData() override {
        Throw("ProcessData");
        return 1;
    }
    void Serialize(CArchive& ar) override {
        CDspView::Serialize(ar);
        Throw("Serialize");
    }

private:
    static void Throw(std::string_view operation) {
        if (operation == THROW_IN) throw std::runtime_error("the sensor is unplugged");
    }
};

AURIVO_IMPLEMENT_DYNAMIC(CThrowingView, RUNTIME_CLASS(CDspView));

AURIVO_PLUGIN_MODULE(CThrowingView, "Thrower")
