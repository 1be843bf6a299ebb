#pragma once
// A fake institution directory ("/server/ombrel.php") for the loopback fake
// server: it reads each query with plain string search and answers the bank
// list and one bank's details.
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "http_fake_server.h"
#include "ofx_fake_bank.h"

namespace tallowmere::test {

inline constexpr std::string_view kListQuery = "Action=banklist&Version=0";
inline constexpr std::string_view kDetailsQuery = "Action=bankdetail&Bankid=";

// The directory of the program's maker, as small as the client needs.
class FakeDirectory {
  public:
    struct Bank {
        std::string uid;
        std::optional<std::string> name;  // nullopt: BANKNAME left out
    };
    struct Details {
        std::string uid;
        std::optional<std::string> url;  // nullopt: URL left out
    };

    // Replaced by a test to send another list reply.
    std::optional<std::string> rawList;

    void SetBanks(std::vector<Bank> banks) {
        std::lock_guard<std::mutex> lock(mutex_);
        banks_ = std::move(banks);
    }
    void SetDetails(const std::string& bankId, Details details) {
        std::lock_guard<std::mutex> lock(mutex_);
        details_[bankId] = std::move(details);
    }
    std::vector<std::string> Queries() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return queries_;
    }

    void Attach(FakeHttpServer& server) {
        server.Handle("/server/ombrel.php",
                      [this](FakeConnection& c, const FakeRequest& r) { c.Send(Answer(r)); });
    }

    static std::string ListBody(const std::vector<Bank>& banks) {
        std::string body = "<?xml version=\"1.0\"?>\n<xml><BANKS>";
        for (const Bank& b : banks) {
            body += "<BANK><UID>" + b.uid + "</UID>";
            if (b.name)
                body += "<BANKNAME>" + *b.name + "</BANKNAME>";
            body += "</BANK>\n";
        }
        return body + "</BANKS></xml>";
    }

    // The reply to one request.
    std::string Answer(const FakeRequest& r) {
        std::lock_guard<std::mutex> lock(mutex_);
        const std::size_t mark = r.target.find('?');
        const std::string query = mark == std::string::npos ? "" : r.target.substr(mark + 1);
        queries_.push_back(query);
        if (r.method != "GET")
            return "HTTP/1.1 405 Method Not Allowed\r\nContent-Length: 0\r\n\r\n";
        if (query == kListQuery)
            return HttpReply(rawList ? *rawList : ListBody(banks_));
        if (query.rfind(kDetailsQuery, 0) == 0) {
            const auto it = details_.find(query.substr(kDetailsQuery.size()));
            if (it == details_.end())
                return "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n";
            std::string body =
                "<?xml version=\"1.0\"?><xml><BANKINFO><UID>" + it->second.uid + "</UID>";
            if (it->second.url)
                body += "<URL>" + *it->second.url + "</URL>";
            body +=
                "<ORG>LOOP</ORG><FID>1234</FID><APPID></APPID><APPVER></APPVER></BANKINFO></xml>";
            return HttpReply(body);
        }
        return "HTTP/1.1 400 Bad Request\r\nContent-Length: 0\r\n\r\n";
    }

  private:
    mutable std::mutex mutex_;
    std::vector<Bank> banks_;
    std::map<std::string, Details> details_;
    std::vector<std::string> queries_;
};

}  // namespace tallowmere::test
