#include "WindowFixture.h"

using namespace Qt::StringLiterals;

namespace desk::test {

WindowFixture::WindowFixture(bool withSample)
    : m_data(withSample) {
    m_context.setDirPath(m_data.path());
    setProfile(sampleProfile());
}

void WindowFixture::setProfile(const CompanyProfile& p) {
    m_context.setProfile(p);
}

CompanyProfile WindowFixture::sampleProfile() {
    return {u"湯の宿 はなれ"_s,       u"〒400-0001"_s,      u"山梨県甲府市1-2"_s,
            u"055-111-2222"_s,        u"055-111-3333"_s,    u"https://hanare.example/"_s,
            u"info@hanare.example"_s, u"源泉かけ流しの宿"_s};
}

} // namespace desk::test
