#pragma once
// Paul Kellet's pink-noise filter: white noise in, noise falling 3 dB per octave out, within
// 0.05 dB of 1/f from 10 Hz to 20 kHz at 48 kHz. An independent source of pink noise for the
// analysers' tests.

class CPinkFilter {
public:
    double operator()(double w) {
        m_b[0] = 0.99886 * m_b[0] + w * 0.0555179;
        m_b[1] = 0.99332 * m_b[1] + w * 0.0750759;
        m_b[2] = 0.96900 * m_b[2] + w * 0.1538520;
        m_b[3] = 0.86650 * m_b[3] + w * 0.3104856;
        m_b[4] = 0.55000 * m_b[4] + w * 0.5329522;
        m_b[5] = -0.7616 * m_b[5] - w * 0.0168980;
        const double out =
            m_b[0] + m_b[1] + m_b[2] + m_b[3] + m_b[4] + m_b[5] + m_b[6] + w * 0.5362;
        m_b[6] = w * 0.115926;
        return out;
    }

private:
    double m_b[7] = {};
};
