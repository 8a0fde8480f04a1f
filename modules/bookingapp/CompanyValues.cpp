#include "CompanyValues.h"

namespace bookingapp {

desk::CompanyProfile companyValues(const desk::ModuleContext& context) {
    return {context.MyCompanyName(), context.MyZipCode(), context.MyAddress(), context.MyTelNo(),
            context.MyFaxNo(),       context.MyURL(),     context.MyEmail(),   context.MyComment()};
}

} // namespace bookingapp
