#include "TestEndpoints.h"

#include "AccountEndpoints.h"
#include "ApiError.h"
#include "ApiRouter.h"
#include "WechatEndpoints.h"

#include <httplib.h>

namespace lintavo {

namespace {

void requireLoopback(ApiCall& call) {
    const std::string& address = call.request().remote_addr;
    bool loopback =
        address.rfind("127.", 0) == 0 || address == "::1" || address.rfind("::ffff:127.", 0) == 0;
    if (!loopback)
        throw ApiError("仅限本机访问 (loopback only)");
}

Json smsCode(ApiCall& call) {
    requireLoopback(call);
    std::string mobile = call.text("mobile", 20);
    if (!AccountEndpoints::validMobile(mobile))
        throw ApiError("手机号格式不对 (bad mobile number)");
    std::string code = AccountEndpoints::pendingCode(call, mobile);
    if (code.empty())
        throw ApiError("没有有效的验证码 (no pending code)");
    return {{"mobile", mobile}, {"code", code}};
}

// `phone` names the phone of an earlier confirmation (the same WeChat user again).
Json wechatConfirm(ApiCall& call) {
    requireLoopback(call);
    std::string error;
    std::string phone = call.text("phone", 64);
    if (!WechatEndpoints::confirm(call.db(), call.text("code_id", 64), call.text("nickname", 40),
                                  phone, error))
        throw ApiError(error);
    return {{"phone", phone}};
}

} // namespace

void TestEndpoints::install(ApiRouter& router) {
    using S = ApiRouter::Signing;
    router.get("/test/sms_code", S::None, smsCode);
    router.get("/test/wechat_confirm", S::None, wechatConfirm);
    router.post("/test/wechat_confirm", S::None, wechatConfirm);
}

} // namespace lintavo
