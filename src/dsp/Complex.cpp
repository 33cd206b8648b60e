#include "dsp/Complex.h"

#include "base/Archive.h"

AURIVO_IMPLEMENT_SERIAL(CComplex, nullptr);

void CComplex::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteClass(RUNTIME_CLASS(CComplex));
        ar.WriteDouble(m_re);
        ar.WriteDouble(m_im);
        return;
    }
    ar.ReadClass(RUNTIME_CLASS(CComplex));
    const double re = ar.ReadDouble();
    const double im = ar.ReadDouble();
    if (!ar.Ok()) return;
    m_re = re;
    m_im = im;
}
