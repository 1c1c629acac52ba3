// SphereHitsObject, BoxHitsObject, RayHitsObject, SphereHitsEntityBox and
// LastHitTriangle: queries brought into each part's object space with the
// rigid inverse of the current entity matrix.
#include "collision_commands_internal.h"

#include <cmath>
#include <initializer_list>
#include <limits>

#include "collision_debug_draw.h"
#include "collision_queries.h"
#include "object_slots.h"
#include "picking_view.h"

namespace vtx {

namespace {

struct CollisionState {
    int32_t lastHitTriangle = -1;  // first-vertex index in the part's triangle list, -1 after a miss
    int32_t lastHitPart = -1;
};
CollisionState state_;

bool AllUsable(std::initializer_list<double> values) {
    for (double v : values) {
        if (!std::isfinite(v)) return false;
    }
    return true;
}

RigidInverse CurrentInverse() {
    float entity[16];
    EntityMatrix(entity);
    return RigidInverseOf(entity);
}

void Forget() {
    state_.lastHitTriangle = -1;
    state_.lastHitPart = -1;
}

}  // namespace

int32_t LastHitPart() { return state_.lastHitPart; }

}  // namespace vtx

using namespace vtx;

int32_t SphereHitsObject(int32_t slotNumber, int32_t frame, double radius, double x, double y, double z) {
    Forget();
    const double centre[3] = {x, y, z};
    const ObjectSlot* slot = ObjectSlotAt(slotNumber);
    int32_t hit = 0;
    if (slot != nullptr && AllUsable({radius, x, y, z})) {
        const RigidInverse inverse = CurrentInverse();
        double m[3];
        PointToObject(inverse, centre, m);
        // An entity matrix with unusable numbers places the object nowhere.
        if (!AllUsable({m[0], m[1], m[2]})) slot = nullptr;
        for (int32_t part = 0; slot != nullptr && part < static_cast<int32_t>(slot->parts.size()); ++part) {
            const int32_t found = SphereHitsFrame(slot->parts[static_cast<size_t>(part)], frame, m, radius,
                                                  CurrentCollisionSearch());
            if (found >= 0) {
                state_.lastHitTriangle = found;
                state_.lastHitPart = part;
                hit = 1;
                break;
            }
        }
    }
    if (AllUsable({x, y, z})) DrawSphereProbe(centre, radius, hit != 0);
    return hit;
}

int32_t BoxHitsObject(int32_t slotNumber, int32_t frame, double x, double y, double z, double width, double height,
                      double depth) {
    Forget();
    const double centre[3] = {x, y, z};
    const double size[3] = {width, height, depth};
    const ObjectSlot* slot = ObjectSlotAt(slotNumber);
    int32_t hit = 0;
    const bool usable = AllUsable({x, y, z, width, height, depth});
    if (slot != nullptr && usable) {
        const OrientedBox box = WorldBoxToObject(CurrentInverse(), centre, size);
        bool placed = AllUsable({box.centre[0], box.centre[1], box.centre[2]});
        for (const auto& half : box.halfAxis) placed = placed && AllUsable({half[0], half[1], half[2]});
        for (int32_t part = 0; placed && part < static_cast<int32_t>(slot->parts.size()); ++part) {
            const int32_t found =
                BoxHitsFrame(slot->parts[static_cast<size_t>(part)], frame, box, CurrentCollisionSearch());
            if (found >= 0) {
                state_.lastHitTriangle = found;
                state_.lastHitPart = part;
                hit = 1;
                break;
            }
        }
    }
    if (usable) DrawBoxProbe(centre, size, hit != 0);
    return hit;
}

double RayHitsObject(int32_t slotNumber, int32_t frame, double startX, double startY, double startZ, double dirX,
                     double dirY, double dirZ) {
    Forget();
    if (!AllUsable({startX, startY, startZ, dirX, dirY, dirZ})) return 0.0;
    const double start[3] = {startX, startY, startZ};
    double dir[3] = {dirX, dirY, dirZ};
    const double length2 = dirX * dirX + dirY * dirY + dirZ * dirZ;
    if (length2 > 1e-7) {
        const double length = std::sqrt(length2);
        for (double& d : dir) d /= length;
    }
    double front = std::numeric_limits<double>::infinity();
    double behind = -std::numeric_limits<double>::infinity();
    int32_t frontPart = -1, behindPart = -1, frontTriangle = -1, behindTriangle = -1;
    if (const ObjectSlot* slot = ObjectSlotAt(slotNumber); slot != nullptr) {
        const RigidInverse inverse = CurrentInverse();
        const double ahead[3] = {start[0] + dir[0], start[1] + dir[1], start[2] + dir[2]};
        double s[3], q[3];
        PointToObject(inverse, start, s);
        PointToObject(inverse, ahead, q);
        const double objectDir[3] = {q[0] - s[0], q[1] - s[1], q[2] - s[2]};
        const bool usable = AllUsable({s[0], s[1], s[2], objectDir[0], objectDir[1], objectDir[2]});
        for (int32_t part = 0; usable && part < static_cast<int32_t>(slot->parts.size()); ++part) {
            const RayFrameHit found =
                RayHitsFrame(slot->parts[static_cast<size_t>(part)], frame, s, objectDir, CurrentCollisionSearch());
            if (found.firstVertex < 0) continue;
            if (found.distance > 0.0 && found.distance < front) {
                front = found.distance;
                frontPart = part;
                frontTriangle = found.firstVertex;
            } else if (found.distance < 0.0 && found.distance > behind) {
                behind = found.distance;
                behindPart = part;
                behindTriangle = found.firstVertex;
            }
        }
    }
    double distance = 0.0;
    if (frontPart >= 0) {
        distance = front;
        state_.lastHitTriangle = frontTriangle;
        state_.lastHitPart = frontPart;
    } else if (behindPart >= 0) {
        distance = behind;
        state_.lastHitTriangle = behindTriangle;
        state_.lastHitPart = behindPart;
    }
    DrawRayProbe(start, dir, distance);
    return distance;
}

int32_t SphereHitsEntityBox(double x, double y, double z, double radius, double width, double height, double depth) {
    if (!AllUsable({x, y, z, radius, width, height, depth})) return 0;
    const double world[3] = {x, y, z};
    double p[3];
    PointToObject(CurrentInverse(), world, p);
    const double half[3] = {width * 0.5, height * 0.5, depth * 0.5};
    double distance2 = 0.0;
    for (int k = 0; k < 3; ++k) {
        double d = 0.0;
        if (p[k] < -half[k]) d = -half[k] - p[k];
        else if (p[k] > half[k]) d = p[k] - half[k];
        distance2 += d * d;
    }
    return distance2 <= radius * radius ? 1 : 0;
}

// A miss leaves -1, which the division by 3 turns into 0.
int32_t LastHitTriangle() { return state_.lastHitTriangle / 3; }
