#pragma once

#include <glm/glm.hpp>

class Controls;
class Player;

// The one camera: follows and rolls with the robot, or flies freely in debug mode. Angles in
// degrees; front, up and right are unit vectors in world space.
class Camera {
  public:
    glm::vec3 position;
    glm::vec3 front;
    glm::vec3 up;
    glm::vec3 right;
    glm::vec3 worldUp;
    float yaw;              // free-flight heading
    float pitch;            // free-flight elevation, within +-89 through the mouse look
    float roll;             // follow-camera roll, same rate as the robot's sideways move
    float movementSpeed;    // units per second
    float mouseSensitivity; // degrees per cursor unit
    float zoom;             // field-of-view value for the projection
    Player* player;         // not owned; null only in a default-constructed camera

    // Storage for a camera built later: start orientation at the origin, no robot. Directions
    // 4 to 6 need a robot and leave the position alone without one.
    Camera();
    Camera(Player* player, glm::vec3 position, glm::vec3 worldUp, float yaw, float pitch,
           float roll);

    // direction: 0 forward, 1 backward, 2 left, 3 right (free flight); 4 robot left, 5 robot
    // right (after the robot's move: roll and follow); 6 follow a jump. Other codes: nothing.
    void processKeyboard(int direction, float deltaTime);
    // front, right and up from yaw and pitch (removes any roll).
    void updateCameraVectors();
};

// Where the follow camera sits: level with the top of the robot's head, kFollowDistance
// towards +Z.
glm::vec3 followPoint(const Player& player);

// The debug camera's mouse look, once per frame after the controller's update: turns by the
// last cursor offsets when the mouse moved in debug mode, and consumes the movement.
void mouseLook(Camera& camera, Controls& controls);
