#pragma once

#include "commands/DriveFollow.h"

#include <QObject>

#include <functional>
#include <memory>

class HubContext;
class OpenRows;

// Remembers, in the hub's state folder, the drives of the entries shown, and offers each known
// drive that is mounted at another place than its records name: once for each mount, and only
// while the hub keeps a state folder. The remembering runs on the list line.
class DriveFollowing {
public:
    using Offering = std::function<void(const drivefollow::Offer&)>;
    DriveFollowing(const HubContext& hub, Offering offer);

    void look(std::shared_ptr<const OpenRows> rows);

private:
    const HubContext& m_hub;
    Offering m_offer;
    drivefollow::Asked m_asked;
    QObject m_alive; // answers from the list line are taken only while this lives
};
