#pragma once
#include "platform/core/ClipboardClearing.h"
#include <memory>
#include <set>
#include <string>

struct zwlr_data_control_manager_v1;
struct zwlr_data_control_device_v1;
struct zwlr_data_control_offer_v1;

namespace ql {

class WaylandConnection;

// The type our programs add to everything they put on the clipboard, so that
// only our own copy is ever cleared.
inline constexpr char kOwnClipboardType[] = "application/x-quillock-copy";

// Clears the clipboard through the compositor's data-control protocol, which
// works whichever program has the keyboard focus (an ordinary Wayland client
// may set the clipboard only while it has it). It follows the clipboard's
// owners as the compositor announces them and clears only a clipboard that
// still holds what one of our programs put there: something the user copied
// elsewhere since stays.
class DataControlClearing : public ClipboardClearing {
public:
    explicit DataControlClearing(std::shared_ptr<WaylandConnection> connection);
    ~DataControlClearing() override;
    DataControlClearing(const DataControlClearing&) = delete;
    DataControlClearing& operator=(const DataControlClearing&) = delete;

    static bool offeredBy(const WaylandConnection& connection);

    bool available() const override;
    // False, leaving the clipboard alone, when it holds someone else's copy.
    bool clear() override;
    // Whether the clipboard holds a copy of ours right now.
    bool holdsOwnCopy();

private:
    struct Offer {
        zwlr_data_control_offer_v1* proxy = nullptr;
        std::set<std::string> types;
    };
    std::shared_ptr<WaylandConnection> connection_;
    zwlr_data_control_manager_v1* manager_ = nullptr;
    zwlr_data_control_device_v1* device_ = nullptr;
    std::unique_ptr<Offer> incoming_; // announced, not yet the selection
    std::unique_ptr<Offer> selection_;

    void dropOffer(std::unique_ptr<Offer>& offer);
    static void onDataOffer(void* data, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* offer);
    static void onSelection(void* data, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* offer);
    static void onPrimarySelection(void* data, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* offer);
    static void onFinished(void* data, zwlr_data_control_device_v1*);
    static void onOfferType(void* data, zwlr_data_control_offer_v1*, const char* type);
};

} // namespace ql
