#include "world/GameObject.h"

GameObject::GameObject(Model* model) : model(model) {}

// The model is shared with the renderer and lives until the process ends.
GameObject::~GameObject() = default;
