#pragma once
// The institution directory client: the list of institutions and one
// institution's connection details, fetched with GET requests from the
// directory's web server and reported to the caller's event handler.
#include <cstdint>
#include <string>
#include <string_view>

#include "exchange/http.h"
#include "exchange/stream.h"

namespace tallowmere::exchange {

// The list version the directory's list reply stands for.
inline constexpr std::int32_t kFiDirectoryListVersion = 77771;

class CFidbClient {
  public:
    class MEventHandler {
      public:
        virtual ~MEventHandler() = default;
        // 0 from the SGML reader, 0 before each bank; false cancels.
        virtual bool Progress(int value) = 0;
    };

    // Every slot but Progress answers 0 to go on; any other value stops the
    // walk and becomes the client's error.
    class MUpdateFiListEventHandler : public MEventHandler {
      public:
        virtual std::int32_t OnInstitution(std::int32_t id, std::string_view name) = 0;
        // The same report by its second name.
        virtual std::int32_t OnInstitutionUpdated(std::int32_t id, std::string_view name) {
            return OnInstitution(id, name);
        }
        virtual std::int32_t OnInstitutionRemoved(std::int32_t id) = 0;
        virtual std::int32_t OnListVersion(std::int32_t version) = 0;
    };

    class MUpdateFiItemEventHandler : public MEventHandler {
      public:
        // A text the reply lacks is null.
        virtual std::int32_t OnInstitutionDetails(std::int32_t id, std::uint32_t stamp,
                                                  const std::string* url, const std::string* org,
                                                  const std::string* fid, const std::string* appId,
                                                  const std::string* appVersion) = 0;
    };

    // The directory named by the preference (GetPrefFiDirectoryUrl), through the directory's HTTP
    // client (SetFidbHttpClient).
    CFidbClient();
    // The given base address ("https://host[:port]"); the client must outlive
    // this object.
    CFidbClient(Http& http, std::string baseUrl);

    bool UpdateFiList(MUpdateFiListEventHandler& handler);
    bool UpdateFiItem(std::int32_t id, MUpdateFiItemEventHandler& handler);

    // The reply walks, on a stream at the first body byte.
    bool ParseFiListReply(Stream& body, MUpdateFiListEventHandler& handler);
    bool ParseFiItemReply(Stream& body, MUpdateFiItemEventHandler& handler);

    std::int32_t GetLastError() const { return lastError_; }
    const std::string& GetLastErrorText() const { return lastErrorText_; }
    void SetError(std::int32_t code, std::string_view text = {});

    // The base address requests go to.
    const std::string& GetBaseUrl() const { return baseUrl_; }

  private:
    // The GET of one directory query; the handler's progress slot is asked
    // throughout the exchange, so Cancel ends it.
    template <typename Parse>
    bool Fetch(const std::string& query, MEventHandler& handler, Parse parse);

    Http* http_;
    std::string baseUrl_;
    std::int32_t lastError_ = 0;
    std::string lastErrorText_;
};

// The HTTP client that clients built without one use; null (the start)
// means the program's one (GetHttpClient). The caller keeps ownership.
void SetFidbHttpClient(Http* http);
Http& CurrentFidbHttpClient();

}  // namespace tallowmere::exchange
